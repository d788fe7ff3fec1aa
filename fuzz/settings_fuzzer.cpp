// Any bytes as a settings file, against the text kept whole (tests/support/settings_model.h): the
// text must survive writing and reading back, a save's edits must give a text that survives it
// too, the one-pass read of a load must find what the lookups find in the whole text, and a save's
// rewrite of the bytes must write what the edits give.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fuzz/input_lengths.h"
#include "job/settings_text.h"
#include "job/value_forms.h"
#include "platform/ascii_case.h"
#include "tests/support/settings_model.h"

namespace korvu::job {
namespace {

using namespace korvu::test;

void Check(bool holds) {
  if (!holds) std::abort();
}

// The value of each key of a section as FindValue gives it (the key's last line, in any letter
// case), found in one pass: a FindValue for each key of a long section would make the checks, not
// the reader, slow on long files. FindValue itself is checked against it on short sections.
class LastValues {
 public:
  explicit LastValues(const SettingsSection* section) {
    if (section == nullptr) return;
    for (const std::string& line : section->lines) {
      if (const auto key = KeyOf(line))
        values_[Folded(*key)] = std::string_view(line).substr(key->size() + 1);
    }
    if (section->lines.size() <= kShortSection) section_ = section;
  }

  std::optional<std::string_view> Find(std::string_view key) const {
    const auto found = values_.find(Folded(key));
    const auto value =
        found == values_.end() ? std::nullopt : std::optional<std::string_view>(found->second);
    if (section_ != nullptr) Check(FindValue(*section_, key) == value);
    return value;
  }

 private:
  static constexpr std::size_t kShortSection = 256;  // lines

  static std::string Folded(std::string_view key) {
    std::string folded(key);
    for (char& c : folded) c = platform::LowerAsciiChar(c);
    return folded;
  }

  std::unordered_map<std::string, std::string_view> values_;
  const SettingsSection* section_ = nullptr;
};

// Writing and parsing again gives the same sections and entries, and the same bytes once more.
void CheckRoundTrip(const SettingsText& text) {
  const std::string written = WriteSettingsText(text);
  const SettingsText again = ParseSettingsText(written);
  Check(again == text);
  Check(WriteSettingsText(again) == written);
}

// A value that reads as an integer reads the same from its written form, and every key is found
// again.
void CheckValueForms(const SettingsText& text) {
  for (const SettingsSection& section : text) {
    const LastValues values(&section);
    for (const std::string& line : section.lines) {
      const auto key = KeyOf(line);
      if (!key) continue;
      const std::string_view value = std::string_view(line).substr(key->size() + 1);
      if (const auto integer = ReadInteger(value))
        Check(ReadInteger(WriteInteger(*integer)) == integer);
      Check(values.Find(*key).has_value());
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
      SetEntry(text, "Korvu", n % 2 ? "Bitrate" : "fps", value);
      Check(FindValue(*FindSection(text, "KORVU"), n % 2 ? "bitrate" : "FPS") == value);
    }
  }
  CheckRoundTrip(text);
}

// ReadSectionValues against the model's FindSection and FindValue: for the section a load reads and
// for the first one of the text, with the sixteen keys and the keys of that section's first lines.
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
    const LastValues values(section);
    for (std::size_t i = 0; i < keys.size(); ++i) Check(read.values[i] == values.Find(keys[i]));
  }
}

// A save's rewrite of the bytes against the model's edits and writer on the text: into the section
// a save writes and into the text's first, the sixteen keys set to values of the file's own lines.
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
    for (const SettingsEntry& entry : entries) SetEntry(edited, name, entry.key, entry.value);
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
