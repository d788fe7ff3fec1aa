#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace korvu::platform {

// UTF-16LE bytes as UTF-8 in pieces of any size: a piece may end after the first byte of a unit
// or after a high surrogate, which then wait for the next. A lone surrogate becomes U+FFFD.
class Utf16Decoder {
 public:
  void Feed(std::string_view bytes, std::string& out);
  // The end of the bytes; false when they end after the first byte of a unit.
  bool Finish(std::string& out);

 private:
  void Unit(std::uint32_t unit, std::string& out);

  std::optional<unsigned char> odd_;
  std::uint32_t high_ = 0;
};

// The lines of a registry export file, from its bytes in pieces of any size (the file is read in
// chunks). The first bytes tell the encoding: FF FE starts UTF-16LE, which comes out as UTF-8;
// anything else is UTF-8 as it stands, a leading EF BB BF skipped. A line ends at LF, with a CR
// before it dropped; each goes to the function given as soon as its end is in, without that end.
// What the function raises leaves Feed or Finish.
class RegistryTextLines {
 public:
  using LineTaker = std::function<void(std::string_view line)>;

  explicit RegistryTextLines(LineTaker take_line) : take_line_(std::move(take_line)) {}

  void Feed(std::string_view bytes);
  // The end of the bytes: the last line, unless the text ends in LF. False when the bytes end
  // inside a UTF-16 unit.
  bool Finish();

 private:
  enum class Encoding { kUnknown, kUtf8, kUtf16 };

  void Recognise();
  void Decode(std::string_view bytes);
  void Text(std::string_view text);
  void EndLine(std::string_view line);

  LineTaker take_line_;
  Encoding encoding_ = Encoding::kUnknown;
  std::string head_;  // the first bytes, until they tell the encoding
  Utf16Decoder utf16_;
  std::string decoded_;  // a UTF-16 piece as UTF-8
  std::string partial_;  // the start of a line whose end is not in yet
};

// UTF-16LE bytes as UTF-8, as Utf16Decoder gives them; nothing for an odd number of bytes.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes);

}  // namespace korvu::platform
