#pragma once

#include <optional>
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
struct SettingsSection {
  std::string name;
  std::vector<std::string> lines;  // entries as "key=value", and lines without "="

  friend bool operator==(const SettingsSection&, const SettingsSection&) = default;
};

using SettingsText = std::vector<SettingsSection>;

SettingsText ParseSettingsText(std::string_view bytes);
std::string WriteSettingsText(const SettingsText& text);

// The key of an entry line (the text before its first "="); nothing for a line without "=".
std::optional<std::string_view> KeyOf(std::string_view line);

// The last section called `name`; null when there is none.
const SettingsSection* FindSection(const SettingsText& text, std::string_view name);
SettingsSection* FindSection(SettingsText& text, std::string_view name);

// The value of the last line of `section` with the key `key`; nothing when there is none.
std::optional<std::string_view> FindValue(const SettingsSection& section, std::string_view key);

// Removes the last section called `name` with all its lines; nothing happens when there is none.
void RemoveSection(SettingsText& text, std::string_view name);

// Sets `key` to `value` in the last section called `section`: its last line with that key becomes
// key "=" value in place, or the line is appended to the section. Without such a section, one
// called `section` is appended to the text first.
void SetValue(SettingsText& text, std::string_view section, std::string_view key,
              std::string_view value);

}  // namespace korvu::job
