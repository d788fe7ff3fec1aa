// Any bytes as a settings file: the text must survive writing and reading back, a save's edits
// must give a text that survives it too, the one-pass read of a load must find what the lookups
// find in the whole text, and a save's rewrite of the bytes must write what the edits give.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/input_lengths.h"
#include "job/settings_text.h"
#include "job/value_forms.h"

namespace korvu::job {
namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

// Writing and parsing again gives the same sections and entries, and the same bytes once more.
void CheckRoundTrip(const SettingsText& text) {
  const std::string written = WriteSettingsText(text);
  const SettingsText again = ParseSettingsText(written);
  Check(again == text);
  Check(WriteSettingsText(again) == written);
}

// A value that reads as an integer reads the same from its written form, and the first keys are
// found again (a look-up for every key would make the check, not the reader, slow on long files).
void CheckValueForms(const SettingsText& text) {
  std::size_t looked_up = 0;
  for (const SettingsSection& section : text) {
    for (const std::string& line : section.lines) {
      const auto key = KeyOf(line);
      if (!key) continue;
      const std::string_view value = std::string_view(line).substr(key->size() + 1);
      if (const auto integer = ReadInteger(value))
        Check(ReadInteger(WriteInteger(*integer)) == integer);
      if (++looked_up <= 64) Check(FindValue(section, *key).has_value());
    }
  }
}

// What a save does: drop the last "Korvu", then set keys from the values the file holds.
void CheckSaveEdits(SettingsText text) {
  RemoveSection(text, "Korvu");
  std::size_t n = 0;
  for (const SettingsSection& section : SettingsText(text)) {
    for (const std::string& line : section.lines) {
      const auto key = KeyOf(line);
      if (!key || ++n > 16) continue;
      const std::string value = line.substr(key->size() + 1);
      SetValue(text, "Korvu", n % 2 ? "Bitrate" : "fps", value);
      Check(FindValue(*FindSection(text, "KORVU"), n % 2 ? "bitrate" : "FPS") == value);
    }
  }
  CheckRoundTrip(text);
}

// ReadSectionValues against FindSection and FindValue: for the section a load reads and for the
// first one of the text, with the sixteen keys and the keys of that section's first lines.
void CheckSectionValues(std::string_view bytes, const SettingsText& text) {
  for (const std::string_view name :
       {std::string_view(kSettingsSection), text.empty() ? std::string_view() : text[0].name}) {
    const SettingsSection* section = FindSection(text, name);
    std::vector<std::string_view> keys;
    for (const SettingsKey& key : kSettingsKeys) keys.push_back(key.name);
    for (std::size_t i = 0; section != nullptr && i < section->lines.size() && i < 8; ++i) {
      if (const auto key = KeyOf(section->lines[i])) keys.push_back(*key);
    }
    const SectionValues read = ReadSectionValues(bytes, name, keys);
    Check(read.found == (section != nullptr));
    Check(read.holds_line == (section != nullptr && !section->lines.empty()));
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const auto value = section != nullptr ? FindValue(*section, keys[i]) : std::nullopt;
      Check(read.values[i] == value);
    }
  }
}

// A save's rewrite of the bytes against the edits and the writer on the text: into the section a
// save writes and into the text's first, the sixteen keys set to values of the file's own lines.
void CheckRewrite(std::string_view bytes, const SettingsText& text) {
  std::vector<std::string> values;
  for (const SettingsSection& section : text) {
    for (const std::string& line : section.lines)
      if (values.size() < kSettingsKeys.size()) values.push_back(line.substr(line.find('=') + 1));
  }
  values.resize(kSettingsKeys.size());
  std::vector<SettingsEntry> entries;
  for (std::size_t i = 0; i < kSettingsKeys.size(); ++i)
    entries.push_back({kSettingsKeys[i].name, values[i]});
  for (const std::string_view name :
       {std::string_view(kSettingsSection), text.empty() ? std::string_view() : text[0].name}) {
    SettingsText edited = text;
    RemoveSection(edited, name);
    for (const SettingsEntry& entry : entries) SetValue(edited, name, entry.key, entry.value);
    Check(RewriteSettingsText(bytes, name, entries) == WriteSettingsText(edited));
  }
}

}  // namespace
}  // namespace korvu::job

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvu::job;
  korvu::fuzz::input_lengths.Tried(size);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const SettingsText text = ParseSettingsText(bytes);
  CheckSectionValues(bytes, text);
  CheckRoundTrip(text);
  CheckValueForms(text);
  CheckSaveEdits(text);
  CheckRewrite(bytes, text);
  return 0;
}
