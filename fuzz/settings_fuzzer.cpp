// Any bytes as a settings file: the text must survive writing and reading back, and a save's
// edits must give a text that survives it too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "job/settings_keys.h"
#include "job/settings_text.h"

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

// A value that reads as an integer reads the same from its written form.
void CheckValueForms(const SettingsText& text) {
  for (const SettingsSection& section : text) {
    for (const std::string& line : section.lines) {
      const auto key = KeyOf(line);
      if (!key) continue;
      const std::string_view value = std::string_view(line).substr(key->size() + 1);
      if (const auto integer = ReadInteger(value))
        Check(ReadInteger(WriteInteger(*integer)) == integer);
      Check(FindValue(section, *key).has_value());
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

}  // namespace
}  // namespace korvu::job

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvu::job;
  const SettingsText text =
      ParseSettingsText(std::string_view(reinterpret_cast<const char*>(data), size));
  CheckRoundTrip(text);
  CheckValueForms(text);
  CheckSaveEdits(text);
  return 0;
}
