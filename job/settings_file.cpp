#include "job/settings_file.h"

#include <optional>
#include <utility>
#include <vector>

#include "job/settings_text.h"
#include "job/text_rules.h"
#include "job/value_forms.h"
#include "platform/file_io.h"

namespace korvu::job {
namespace {

Error FileFailure(const platform::FileError& error, const std::string& path) {
  const std::string full_path = platform::FullPath(path);
  const std::string_view reason = ErrorReason(error.description);
  switch (error.step) {
    case platform::FileStep::kOpen:
      return Error(FormatText(kCannotOpen, {full_path, reason}));
    case platform::FileStep::kCreate:
      return Error(FormatText(kCannotCreate, {full_path, reason}));
    case platform::FileStep::kWrite:
      break;
  }
  return Error(std::string(kStreamWriteError));
}

// The bytes of the file `path`; none when there is no file.
std::string ReadSettingsFileOrNothing(const std::string& path, platform::Links links) {
  std::string bytes;
  if (const auto error = platform::ReadWholeFile(path, bytes, links)) {
    if (!error->no_file) throw FileFailure(*error, path);
  }
  return bytes;
}

// FParamsLive goes back on however a load ends.
class ParamsPaused {
 public:
  explicit ParamsPaused(Job& job) : job_(job) { job_.SetFParamsLive(false); }
  ~ParamsPaused() { job_.SetFParamsLive(true); }
  ParamsPaused(const ParamsPaused&) = delete;
  ParamsPaused& operator=(const ParamsPaused&) = delete;

 private:
  Job& job_;
};

void ApplyKey(JobSettings& settings, const SettingsKey& key, std::optional<std::string_view> value,
              const ErrorReport& report) {
  try {
    if (value) ApplyValue(settings, key, *value);
  } catch (const Error& error) {
    if (!report) throw;
    report(error);
  }
  // The stored BRef never outlasts a load: the coupling follows Pyramide at once.
  if (key.field == SettingsKey::Field(&JobSettings::Pyramide)) settings.ApplyPyramidCoupling();
}

// The names of kSettingsKeys, in table order.
const std::vector<std::string_view>& KeyNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> all;
    for (const SettingsKey& key : kSettingsKeys) all.push_back(key.name);
    return all;
  }();
  return names;
}

}  // namespace

void LoadSettings(Job& job, const std::string& path, const ErrorReport& report,
                  platform::Links links) {
  if (!job.Settings().Rules().FileExists(path)) return;
  {
    const ParamsPaused paused(job);
    // Only the values of the last "Korvu" are looked at, so the text is not kept: the memory of a
    // load is the file's bytes.
    std::string bytes;
    if (const auto error = platform::ReadWholeFile(path, bytes, links))
      throw FileFailure(*error, path);
    const SectionValues section = ReadSectionValues(bytes, kSettingsSection, KeyNames());
    if (section.holds_line) {
      for (std::size_t i = 0; i < kSettingsKeys.size(); ++i)
        ApplyKey(job.Settings(), kSettingsKeys[i], section.values[i], report);
    }
  }
  job.UpdateParams();
}

void SaveSettings(const Job& job, const std::string& path, platform::Links links) {
  std::vector<std::string> values;
  for (const SettingsKey& key : kSettingsKeys) values.push_back(WrittenValue(job.Settings(), key));
  // A CR, LF or NUL would split the value into lines of their own: refused before the file is
  // read or replaced.
  for (const std::string& value : values) RefuseLineBreaks(value);
  std::vector<SettingsEntry> entries;
  for (std::size_t i = 0; i < kSettingsKeys.size(); ++i)
    entries.push_back({kSettingsKeys[i].name, values[i]});
  // Rewritten from the bytes, without the file's lines as strings of their own: a save holds the
  // file and the new text, whatever the file's lines.
  const std::string text =
      RewriteSettingsText(ReadSettingsFileOrNothing(path, links), kSettingsSection, entries);
  if (const auto error = platform::ReplaceFileSafely(path, text, links))
    throw FileFailure(*error, path);
}

std::string DefaultSettingsPath(std::string_view executable_path, PathStyle style) {
  return ReplaceExtension(executable_path, ".ini", style);
}

std::string_view ErrorReason(std::string_view description) {
  while (!description.empty()) {
    const auto last = static_cast<unsigned char>(description.back());
    if (last > 32 && last != '.') break;
    description.remove_suffix(1);
  }
  return description;
}

}  // namespace korvu::job
