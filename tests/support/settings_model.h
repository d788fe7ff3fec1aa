#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvu::test {

// The settings text kept whole, as a list of sections and their lines, with the edits of a save
// made on that list: the plain model that the one-pass load and the two-pass rewrite of
// job/settings_text.h must agree with (the settings tests and the settings fuzzer).
struct SettingsSection {
  std::string name;
  std::vector<std::string> lines;  // entries as "key=value", and lines without "="

  friend bool operator==(const SettingsSection&, const SettingsSection&) = default;
};

using SettingsText = std::vector<SettingsSection>;

// The sections and lines that reading keeps, each entry trimmed around its first "=".
SettingsText ParseSettingsText(std::string_view bytes);
// Every section as "[name]", its lines and one empty line, every line ended by CR LF.
std::string WriteSettingsText(const SettingsText& text);

// The key of an entry line (the text before its first "="); nothing for a line without "=".
std::optional<std::string_view> KeyOf(std::string_view line);
// The last section called `name`, letter case aside; null when there is none.
const SettingsSection* FindSection(const SettingsText& text, std::string_view name);
// The value of the last line of `section` with the key `key`; nothing when there is none.
std::optional<std::string_view> FindValue(const SettingsSection& section, std::string_view key);

// Removes the last section called `name` with all its lines, if there is one.
void RemoveSection(SettingsText& text, std::string_view name);
// Sets `key` to `value` in the last section called `section`: its last line with that key becomes
// key "=" value in place, or the line is appended. Without such a section, one is appended first.
void SetEntry(SettingsText& text, std::string_view section, std::string_view key,
              std::string_view value);

}  // namespace korvu::test
