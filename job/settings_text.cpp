// The settings reader: the bytes into sections and lines, then the look-ups a load and a save
// make, and the edits of a save. The writer is settings_writer.cpp.
#include <algorithm>
#include <cstring>

#include "job/settings_text.h"
#include "job/text_rules.h"

namespace korvu::job {
namespace {

// The next line of `rest` without its end (CR LF, LF or CR); `rest` moves past that end.
std::string_view NextLine(std::string_view& rest) {
  const char* begin = rest.data();
  const std::size_t size = rest.size();
  const void* lf = std::memchr(begin, '\n', size);
  std::size_t end =
      lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : size;
  std::size_t skip = end < size ? 1 : 0;
  if (const void* cr = std::memchr(begin, '\r', end)) {
    end = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    skip = end + 1 < size && begin[end + 1] == '\n' ? 2 : 1;
  }
  rest.remove_prefix(end + skip);
  return {begin, end};
}

// An entry is stored as key "=" value without blanks around either part; any other line as it is.
std::string EntryText(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::string(line);
  const std::string_view key = Trim(line.substr(0, equals));
  const std::string_view value = Trim(line.substr(equals + 1));
  if (key.size() + 1 + value.size() == line.size()) return std::string(line);
  std::string entry;
  entry.reserve(key.size() + 1 + value.size());
  entry.append(key).append(1, '=').append(value);
  return entry;
}

bool IsHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

}  // namespace

SettingsText ParseSettingsText(std::string_view bytes) {
  const void* nul = bytes.empty() ? nullptr : std::memchr(bytes.data(), '\0', bytes.size());
  if (nul != nullptr)
    bytes = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
  SettingsText text;
  while (!bytes.empty()) {
    const std::string_view line = Trim(NextLine(bytes));
    if (line.empty() || line.front() == ';') continue;
    if (IsHeader(line)) {
      text.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
    } else if (!text.empty()) {
      text.back().lines.push_back(EntryText(line));
    }
  }
  return text;
}

// The look-ups: the last section of a name, the last line of a key.
namespace {

template <typename Text>
auto LastSection(Text& text, std::string_view name) -> decltype(&text.front()) {
  const auto found = std::find_if(text.rbegin(), text.rend(), [name](const SettingsSection& s) {
    return EqualsIgnoringCase(s.name, name);
  });
  return found == text.rend() ? nullptr : &*found;
}

// The last line of `lines` with the key `key`, or their end.
template <typename Lines>
auto LastLine(Lines& lines, std::string_view key) {
  const auto found = std::find_if(lines.rbegin(), lines.rend(), [key](std::string_view line) {
    const auto line_key = KeyOf(line);
    return line_key && EqualsIgnoringCase(*line_key, key);
  });
  return found == lines.rend() ? lines.end() : std::prev(found.base());
}

}  // namespace

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
