#include "platform/posix/registry_file.h"

#include <algorithm>
#include <cstdint>

#include "platform/ascii_case.h"

namespace korvu::platform {
namespace {

constexpr std::string_view kFirstLine = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUserRoot = "HKEY_CURRENT_USER\\";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Raised inside the parser for a file that is not in the format; the file then holds no keys.
struct Malformed {};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

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

// UTF-16LE bytes as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) throw Malformed{};
  const auto unit = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  };
  std::string out;
  const std::size_t count = bytes.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t code = unit(i);
    const bool high = code >= 0xD800 && code < 0xDC00;
    if (high && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (unit(++i) - 0xDC00);
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    AppendUtf8(out, code);
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (LowerAsciiChar(c) >= 'a' && LowerAsciiChar(c) <= 'f') return LowerAsciiChar(c) - 'a' + 10;
  throw Malformed{};
}

// One to `max_digits` hex digits.
std::uint32_t HexNumber(std::string_view digits, std::size_t max_digits) {
  if (digits.empty() || digits.size() > max_digits) throw Malformed{};
  std::uint32_t number = 0;
  for (char c : digits) number = number << 4 | static_cast<std::uint32_t>(HexDigit(c));
  return number;
}

// "01,02,ff" as bytes; an empty list is no bytes.
std::string HexBytes(std::string_view list) {
  std::string bytes;
  while (!Trim(list).empty()) {
    const auto comma = list.find(',');
    bytes += static_cast<char>(HexNumber(Trim(list.substr(0, comma)), 2));
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    if (comma != std::string_view::npos && Trim(list).empty()) throw Malformed{};
  }
  return bytes;
}

// A quoted string at the start of `rest` with \\ and \" unescaped; `rest` moves past it.
std::string Quoted(std::string_view& rest) {
  if (rest.empty() || rest.front() != '"') throw Malformed{};
  std::string text;
  for (std::size_t i = 1; i < rest.size(); ++i) {
    if (rest[i] == '"') {
      rest.remove_prefix(i + 1);
      return text;
    }
    if (rest[i] == '\\') {
      if (++i == rest.size() || (rest[i] != '\\' && rest[i] != '"')) throw Malformed{};
    }
    text += rest[i];
  }
  throw Malformed{};
}

RegistryKind HexKind(std::uint32_t type) {
  switch (type) {
    case 1:
      return RegistryKind::kText;
    case 2:
      return RegistryKind::kExpandText;
    case 3:
      return RegistryKind::kBinary;
    case 4:
    case 5:
    case 11:
      return RegistryKind::kNumber;
    default:
      return RegistryKind::kOther;
  }
}

// The data after "Name"=; nothing for "-", the removal of the value.
std::optional<RegistryFileValue> Data(std::string_view data) {
  RegistryFileValue value;
  if (data == "-") return std::nullopt;
  if (data.starts_with('"')) {
    value = {{}, RegistryKind::kText, Quoted(data) + '\0'};
    if (!data.empty()) throw Malformed{};
  } else if (data.starts_with("dword:")) {
    const std::uint32_t number = HexNumber(data.substr(6), 8);
    value.kind = RegistryKind::kNumber;
    for (int shift = 0; shift < 32; shift += 8) value.data += static_cast<char>(number >> shift);
  } else if (data.starts_with("hex:")) {
    value = {{}, RegistryKind::kBinary, HexBytes(data.substr(4))};
  } else if (data.starts_with("hex(") && data.find("):") != std::string_view::npos) {
    const auto close = data.find("):");
    value.kind = HexKind(HexNumber(data.substr(4, close - 4), 8));
    value.data = HexBytes(data.substr(close + 2));
    if (value.kind == RegistryKind::kText || value.kind == RegistryKind::kExpandText)
      value.data = Utf16ToUtf8(value.data);
  } else {
    throw Malformed{};
  }
  return value;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

// Walks the lines of one file and collects the values of one key.
class KeyReader {
 public:
  KeyReader(std::vector<std::string_view> lines, std::string_view path)
      : lines_(std::move(lines)), header_(std::string(kUserRoot) + std::string(path)) {}

  std::optional<std::vector<RegistryFileValue>> Read() {
    if (lines_.empty() || Trim(lines_[0]) != kFirstLine) throw Malformed{};
    for (next_ = 1; next_ < lines_.size();) Line(Trim(lines_[next_++]));
    if (!found_) return std::nullopt;
    return std::move(values_);
  }

 private:
  void Line(std::string_view line) {
    if (line.empty() || line.starts_with(';')) return;
    if (line.starts_with('[')) return Header(line);
    if (!in_file_key_) throw Malformed{};
    Value(line);
  }

  void Header(std::string_view line) {
    if (!line.ends_with(']')) throw Malformed{};
    std::string_view key = line.substr(1, line.size() - 2);
    const bool removal = key.starts_with('-');
    if (removal) key.remove_prefix(1);
    in_file_key_ = !removal;
    in_key_ = !removal && EqualsIgnoringCase(key, header_);
    if (EqualsIgnoringCase(key, header_)) found_ = in_key_;
    if (removal && EqualsIgnoringCase(key, header_)) values_.clear();
  }

  void Value(std::string_view line) {
    std::string name;
    if (line.starts_with('@')) {
      line.remove_prefix(1);
    } else {
      name = Quoted(line);
    }
    line = Trim(line);
    if (!line.starts_with('=')) throw Malformed{};
    std::string data(Trim(line.substr(1)));
    if (data.starts_with("hex")) JoinContinuation(data);
    auto value = Data(data);
    if (!in_key_) return;
    std::erase_if(values_,
                  [&](const RegistryFileValue& v) { return EqualsIgnoringCase(v.name, name); });
    if (value) values_.push_back({std::move(name), value->kind, std::move(value->data)});
  }

  // regedit wraps long byte lists: a line ending in "\" goes on in the next, indented one.
  void JoinContinuation(std::string& data) {
    while (data.ends_with('\\')) {
      data.pop_back();
      if (next_ == lines_.size()) throw Malformed{};
      data += Trim(lines_[next_++]);
    }
  }

  std::vector<std::string_view> lines_;
  std::string header_;
  std::size_t next_ = 0;
  bool in_file_key_ = false;
  bool in_key_ = false;
  bool found_ = false;
  std::vector<RegistryFileValue> values_;
};

}  // namespace

std::optional<std::vector<RegistryFileValue>> FindRegistryKey(std::string_view text,
                                                              std::string_view path) {
  try {
    std::string converted;
    if (text.starts_with(kUtf16Mark)) {
      converted = Utf16ToUtf8(text.substr(kUtf16Mark.size()));
      text = converted;
    } else if (text.starts_with(kUtf8Mark)) {
      text.remove_prefix(kUtf8Mark.size());
    }
    return KeyReader(Lines(text), path).Read();
  } catch (const Malformed&) {
    return std::nullopt;
  }
}

const RegistryFileValue* FindRegistryValue(const std::vector<RegistryFileValue>& values,
                                           std::string_view name) {
  const auto found = std::ranges::find_if(
      values, [&](const RegistryFileValue& value) { return EqualsIgnoringCase(value.name, name); });
  return found == values.end() ? nullptr : &*found;
}

}  // namespace korvu::platform
