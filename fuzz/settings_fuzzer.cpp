// Any bytes as a settings file, against the text kept whole as the reader's sections and lines (the
// plain model below): the one-pass read of a load must find what a lookup in the whole text finds,
// and a save's rewrite of the bytes must write what the model's edits give, a text that reads back
// as those edits and from which a load reads the saved values.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fuzz/input_lengths.h"
#include "job/settings_text.h"
#include "job/text_rules.h"
#include "job/value_forms.h"

namespace korvu::job {
namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

struct Section {
  std::string name;
  std::vector<std::string> lines;  // entries as "key=value", and lines without "="

  friend bool operator==(const Section&, const Section&) = default;
};

using Text = std::vector<Section>;

std::optional<std::string_view> KeyOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return line.substr(0, equals);
}

std::string Entry(std::string_view key, std::string_view value) {
  return std::string(key).append(1, '=').append(value);
}

// The kept lines, each entry trimmed around its first "=".
Text Parse(std::string_view bytes) {
  Text text;
  SettingsLineReader reader(bytes);
  for (SettingsLine line; reader.Next(line);) {
    if (line.header)
      text.push_back({std::string(line.text), {}});
    else if (const auto key = KeyOf(line.text))
      text.back().lines.push_back(Entry(Trim(*key), Trim(line.text.substr(key->size() + 1))));
    else
      text.back().lines.emplace_back(line.text);
  }
  return text;
}

std::string Write(const Text& text) {
  std::string bytes;
  for (const Section& section : text) {
    bytes.append(1, '[').append(section.name).append("]\r\n");
    for (const std::string& line : section.lines) bytes.append(line).append("\r\n");
    bytes.append("\r\n");
  }
  return bytes;
}

// The last section called `name`; null when there is none.
template <typename T>
auto* LastSection(T& text, std::string_view name) {
  const auto found = std::find_if(text.rbegin(), text.rend(), [name](const Section& section) {
    return EqualsIgnoringCase(section.name, name);
  });
  return found == text.rend() ? nullptr : &*found;
}

// A save's edits: the last section `name` goes, then each entry is set in the one of that name
// now last (added at the end when there is none): its key's last line there, or a new line at
// its end.
void Save(Text& text, std::string_view name, std::span<const SettingsEntry> entries) {
  if (const Section* removed = LastSection(text, name))
    text.erase(text.begin() + (removed - &text[0]));
  Section* section = LastSection(text, name);
  if (section == nullptr) section = &text.emplace_back(Section{std::string(name), {}});
  for (const SettingsEntry& entry : entries) {
    const auto line =
        std::find_if(section->lines.rbegin(), section->lines.rend(), [&](std::string_view kept) {
          return KeyOf(kept) && EqualsIgnoringCase(*KeyOf(kept), entry.key);
        });
    if (line == section->lines.rend())
      section->lines.push_back(Entry(entry.key, entry.value));
    else
      *line = Entry(entry.key, entry.value);
  }
}

// The value of each key of a section (its last line, in any letter case), found in one pass: a
// search for each key of a long section would make the checks, not the reader, slow.
class LastValues {
 public:
  explicit LastValues(const Section* section) {
    if (section == nullptr) return;
    for (const std::string& line : section->lines) {
      if (const auto key = KeyOf(line))
        values_[LowerAscii(*key)] = std::string_view(line).substr(key->size() + 1);
    }
  }

  std::optional<std::string_view> Find(std::string_view key) const {
    const auto found = values_.find(LowerAscii(key));
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::unordered_map<std::string, std::string_view> values_;
};

// A value that reads as an integer reads the same from its written form.
void CheckValueForms(const Text& text) {
  for (const Section& section : text) {
    for (const std::string& line : section.lines) {
      const auto key = KeyOf(line);
      if (!key) continue;
      if (const auto integer = ReadInteger(std::string_view(line).substr(key->size() + 1)))
        Check(ReadInteger(WriteInteger(*integer)) == integer);
    }
  }
}

// The sections looked at: the one a load reads and the text's first.
std::vector<std::string_view> SectionNames(const Text& text) {
  return {kSettingsSection, text.empty() ? std::string_view() : text[0].name};
}

// ReadSectionValues against the model, for the sixteen keys and those of the section's first lines.
void CheckSectionValues(std::string_view bytes, const Text& text) {
  for (const std::string_view name : SectionNames(text)) {
    const Section* section = LastSection(text, name);
    std::vector<std::string_view> keys;
    for (const SettingsKey& key : kSettingsKeys) keys.push_back(key.name);
    for (std::size_t i = 0; section != nullptr && i < section->lines.size() && i < 8; ++i) {
      if (const auto key = KeyOf(section->lines[i])) keys.push_back(*key);
    }
    const SectionValues read = ReadSectionValues(bytes, name, keys);
    Check(read.found == (section != nullptr));
    Check(read.holds_line == (section != nullptr && !section->lines.empty()));
    const LastValues values(section);
    for (std::size_t i = 0; i < keys.size(); ++i) Check(read.values[i] == values.Find(keys[i]));
  }
}

// A save's rewrite of the bytes against the model's edits: the sixteen keys set to values of the
// file's own lines.
void CheckRewrite(std::string_view bytes, const Text& text) {
  std::vector<std::string> values;
  for (const Section& section : text) {
    for (const std::string& line : section.lines)
      if (values.size() < kSettingsKeys.size()) values.push_back(line.substr(line.find('=') + 1));
  }
  values.resize(kSettingsKeys.size());
  std::vector<SettingsEntry> entries;
  std::vector<std::string_view> keys;
  for (std::size_t i = 0; i < kSettingsKeys.size(); ++i) {
    entries.push_back({kSettingsKeys[i].name, values[i]});
    keys.push_back(kSettingsKeys[i].name);
  }
  for (const std::string_view name : SectionNames(text)) {
    Text edited = text;
    Save(edited, name, entries);
    const std::string rewritten = RewriteSettingsText(bytes, name, entries);
    Check(rewritten == Write(edited));
    Check(Parse(rewritten) == edited);
    const SectionValues read = ReadSectionValues(rewritten, name, keys);
    for (std::size_t i = 0; i < keys.size(); ++i) Check(read.values[i] == values[i]);
  }
}

}  // namespace
}  // namespace korvu::job

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvu::job;
  korvu::fuzz::input_lengths.Tried(size);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Text text = Parse(bytes);
  CheckSectionValues(bytes, text);
  CheckValueForms(text);
  CheckRewrite(bytes, text);
  return 0;
}
