// The registry export file's bytes into lines of UTF-8 text.
#include "platform/posix/registry_text.h"

#include <utility>

namespace korvu::platform {
namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHigh(std::uint32_t unit) {
  return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLow(std::uint32_t unit) {
  return unit >= 0xDC00 && unit < 0xE000;
}

}  // namespace

void Utf16Decoder::Feed(std::string_view bytes, std::string& out) {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!odd_) {
      odd_ = byte;
      continue;
    }
    Unit(*odd_ | static_cast<std::uint32_t>(byte) << 8, out);
    odd_.reset();
  }
}

bool Utf16Decoder::Finish(std::string& out) {
  if (odd_) return false;
  if (std::exchange(high_, 0) != 0) AppendUtf8(out, kReplacement);
  return true;
}

void Utf16Decoder::Unit(std::uint32_t unit, std::string& out) {
  if (high_ != 0) {
    const std::uint32_t high = std::exchange(high_, 0);
    if (IsLow(unit)) return AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
    AppendUtf8(out, kReplacement);
  }
  if (IsHigh(unit)) {
    high_ = unit;
  } else {
    AppendUtf8(out, IsLow(unit) ? kReplacement : unit);
  }
}

void RegistryTextLines::Feed(std::string_view bytes) {
  while (encoding_ == Encoding::kUnknown && !bytes.empty()) {
    head_ += bytes.front();
    bytes.remove_prefix(1);
    Recognise();
  }
  Decode(bytes);
}

bool RegistryTextLines::Finish() {
  if (encoding_ == Encoding::kUnknown) {
    encoding_ = Encoding::kUtf8;
    Text(head_);
  }
  if (encoding_ == Encoding::kUtf16) {
    decoded_.clear();
    if (!utf16_.Finish(decoded_)) return false;
    Text(decoded_);
  }
  if (!partial_.empty()) EndLine(std::exchange(partial_, {}));
  return true;
}

// Decides the encoding by the first bytes, once they are enough to tell.
void RegistryTextLines::Recognise() {
  std::string_view text = head_;
  if (text.starts_with(kUtf16Mark)) {
    encoding_ = Encoding::kUtf16;
    text.remove_prefix(kUtf16Mark.size());
  } else if (text.starts_with(kUtf8Mark)) {
    encoding_ = Encoding::kUtf8;
    text.remove_prefix(kUtf8Mark.size());
  } else if (kUtf16Mark.starts_with(text) || kUtf8Mark.starts_with(text)) {
    return;
  } else {
    encoding_ = Encoding::kUtf8;
  }
  Decode(text);
}

void RegistryTextLines::Decode(std::string_view bytes) {
  if (encoding_ != Encoding::kUtf16) return Text(bytes);
  decoded_.clear();
  utf16_.Feed(bytes, decoded_);
  Text(decoded_);
}

// Lines end at LF; a line that goes on into the next piece waits in `partial_`.
void RegistryTextLines::Text(std::string_view text) {
  for (auto lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n')) {
    if (partial_.empty()) {
      EndLine(text.substr(0, lf));
    } else {
      partial_.append(text.substr(0, lf));
      EndLine(partial_);
      partial_.clear();
    }
    text.remove_prefix(lf + 1);
  }
  partial_.append(text);
}

void RegistryTextLines::EndLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  take_line_(line);
}

std::optional<std::string> Utf16ToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string out;
  Utf16Decoder decoder;
  decoder.Feed(bytes, out);
  decoder.Finish(out);
  return out;
}

}  // namespace korvu::platform
