#include "tests/support/settings_model.h"

#include <algorithm>

#include "job/settings_text.h"
#include "job/text_rules.h"

namespace korvu::test {
namespace {

using job::EqualsIgnoringCase;

// The place of the last section called `name`, or the text's size.
std::size_t LastSection(const SettingsText& text, std::string_view name) {
  for (std::size_t i = text.size(); i-- > 0;)
    if (EqualsIgnoringCase(text[i].name, name)) return i;
  return text.size();
}

// The place of the last line of `lines` with the key `key`, or their count.
std::size_t LastLine(const std::vector<std::string>& lines, std::string_view key) {
  for (std::size_t i = lines.size(); i-- > 0;) {
    const auto line_key = KeyOf(lines[i]);
    if (line_key && EqualsIgnoringCase(*line_key, key)) return i;
  }
  return lines.size();
}

std::string Entry(std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + 1 + value.size());
  return line.append(key).append(1, '=').append(value);
}

}  // namespace

SettingsText ParseSettingsText(std::string_view bytes) {
  SettingsText text;
  job::SettingsLineReader reader(bytes);
  for (job::SettingsLine line; reader.Next(line);) {
    if (line.header) {
      text.push_back({std::string(line.text), {}});
    } else if (const auto key = KeyOf(line.text)) {
      text.back().lines.push_back(
          Entry(job::Trim(*key), job::Trim(line.text.substr(key->size() + 1))));
    } else {
      text.back().lines.emplace_back(line.text);
    }
  }
  return text;
}

std::string WriteSettingsText(const SettingsText& text) {
  std::string bytes;
  for (const SettingsSection& section : text) {
    bytes.append(1, '[').append(section.name).append("]\r\n");
    for (const std::string& line : section.lines) bytes.append(line).append("\r\n");
    bytes.append("\r\n");
  }
  return bytes;
}

std::optional<std::string_view> KeyOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return line.substr(0, equals);
}

const SettingsSection* FindSection(const SettingsText& text, std::string_view name) {
  const std::size_t i = LastSection(text, name);
  return i == text.size() ? nullptr : &text[i];
}

std::optional<std::string_view> FindValue(const SettingsSection& section, std::string_view key) {
  const std::size_t i = LastLine(section.lines, key);
  if (i == section.lines.size()) return std::nullopt;
  return std::string_view(section.lines[i]).substr(key.size() + 1);
}

void RemoveSection(SettingsText& text, std::string_view name) {
  const std::size_t i = LastSection(text, name);
  if (i != text.size()) text.erase(text.begin() + static_cast<std::ptrdiff_t>(i));
}

void SetEntry(SettingsText& text, std::string_view section_name, std::string_view key,
              std::string_view value) {
  if (LastSection(text, section_name) == text.size())
    text.push_back({std::string(section_name), {}});
  std::vector<std::string>& lines = text[LastSection(text, section_name)].lines;
  const std::size_t i = LastLine(lines, key);
  if (i == lines.size()) lines.emplace_back();
  lines[i] = Entry(key, value);
}

}  // namespace korvu::test
