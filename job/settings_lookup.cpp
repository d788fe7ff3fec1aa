#include <algorithm>

#include "job/settings_text.h"

namespace korvu::job {
namespace {

char FoldCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

template <typename Text>
auto LastSection(Text& text, std::string_view name) -> decltype(&text.front()) {
  const auto found = std::find_if(text.rbegin(), text.rend(), [name](const SettingsSection& s) {
    return SameName(s.name, name);
  });
  return found == text.rend() ? nullptr : &*found;
}

// The last line of `lines` with the key `key`, or their end.
template <typename Lines>
auto LastLine(Lines& lines, std::string_view key) {
  const auto found = std::find_if(lines.rbegin(), lines.rend(), [key](std::string_view line) {
    const auto line_key = KeyOf(line);
    return line_key && SameName(*line_key, key);
  });
  return found == lines.rend() ? lines.end() : std::prev(found.base());
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

std::optional<std::string_view> KeyOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return line.substr(0, equals);
}

const SettingsSection* FindSection(const SettingsText& text, std::string_view name) {
  return LastSection(text, name);
}

SettingsSection* FindSection(SettingsText& text, std::string_view name) {
  return LastSection(text, name);
}

std::optional<std::string_view> FindValue(const SettingsSection& section, std::string_view key) {
  const auto line = LastLine(section.lines, key);
  if (line == section.lines.end()) return std::nullopt;
  return std::string_view(*line).substr(key.size() + 1);
}

void RemoveSection(SettingsText& text, std::string_view name) {
  if (const SettingsSection* section = FindSection(text, name))
    text.erase(text.begin() + (section - text.data()));
}

void SetValue(SettingsText& text, std::string_view section_name, std::string_view key,
              std::string_view value) {
  SettingsSection* section = FindSection(text, section_name);
  if (section == nullptr)
    section = &text.emplace_back(SettingsSection{std::string(section_name), {}});
  std::string line;
  line.reserve(key.size() + 1 + value.size());
  line.append(key).append(1, '=').append(value);
  const auto old = LastLine(section->lines, key);
  if (old == section->lines.end())
    section->lines.push_back(std::move(line));
  else
    *old = std::move(line);
}

}  // namespace korvu::job
