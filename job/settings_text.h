#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvu::job {

// The text of a settings file: a sequence of sections, each a name and its lines.
//
// Reading takes bytes as they are (no character-set conversion, no byte-order mark):
//  - a line ends at CR LF, a lone LF or a lone CR; a NUL byte ends the readable text;
//  - each line is trimmed of codes 0 to 32 at both ends; then the first rule that fits decides:
//    an empty line is dropped; a line beginning with ";" is a comment and dropped; a line that
//    begins with "[" and ends with "]" opens a new section named by the text between, trimmed
//    (also when that name has been seen before); a line before the first header is dropped; a
//    line holding "=" is an entry, kept as key "=" value with both parts trimmed; any other line
//    stays in its section as it is.
// Writing gives every section as "[name]", its lines and one empty line, every line ended by CR LF.
//
// Names and keys match without regard to the case of A to Z; a lookup finds the last section of a
// name and the last line of a key.

// One line that reading keeps: a header with the name of its section, or a line of the open
// section, trimmed (an entry not yet trimmed around its "=").
struct SettingsLine {
  bool header = false;
  std::string_view text;
};

// The lines that reading keeps from `bytes`, one at a time and in order, as views into `bytes`.
// The one reader of the layout above: a load and a save both walk it, in time linear in the size
// of `bytes` whatever its line ends.
class SettingsLineReader {
 public:
  explicit SettingsLineReader(std::string_view bytes);

  // The next kept line into `line`; false at the end of the readable text.
  bool Next(SettingsLine& line);

 private:
  std::string_view rest_;
  bool in_section_ = false;
};

// The last section called `name` as a lookup sees it, read without keeping the text.
struct SectionValues {
  bool found = false;       // such a section exists
  bool holds_line = false;  // it holds at least one line
  // For each key asked for, in that order, the value of its last line there, or nothing.
  std::vector<std::optional<std::string_view>> values;
};

// The last section `name` of `bytes` and the values of `keys` in it, in one pass and with views
// into `bytes`.
SectionValues ReadSectionValues(std::string_view bytes, std::string_view name,
                                std::span<const std::string_view> keys);

// A key and the value a save gives it.
struct SettingsEntry {
  std::string_view key;
  std::string_view value;
};

// What a save writes over `bytes`: the text as read, its last section called `section` removed,
// each of `entries` set in the section of that name now last (its key's last line becomes
// key "=" value in place, or the line goes at the section's end; without such a section, one is
// added at the end of the text), written as above. The keys of `entries` differ, letter case aside.
// Made without keeping the text's lines, in two passes over `bytes`: the memory is that of `bytes`
// and of the result, the time linear in their size whatever the lines' ends and lengths.
std::string RewriteSettingsText(std::string_view bytes, std::string_view section,
                                std::span<const SettingsEntry> entries);

}  // namespace korvu::job
