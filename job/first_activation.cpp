#include "job/first_activation.h"

#include "job/encoder_discovery.h"

namespace korvu::job {

FocusTarget FirstActivation(Job& job, const StartupPlatform& platform, const ErrorReport& report) {
  JobSettings& settings = job.Settings();
  const PathStyle style = settings.Rules().Style();
  if (const auto encoder = DiscoverEncoder(platform.registry, style))
    settings.Encoder.SetText(*encoder);
  settings.Threads.SetMax(2 * platform.processor_count);
  settings.Threads.SetValue(platform.processor_count);
  // Without its own path the program has no default settings file (".ini" in the current folder
  // would be a stranger's).
  if (!platform.executable_path.empty()) {
    const std::string own = DefaultSettingsPath(platform.executable_path, style);
    const bool fall_back =
        !platform.fallback_settings_path.empty() && !settings.Rules().FileExists(own);
    // The program's own file in its folder is never read through a symbolic link.
    if (fall_back)
      LoadSettings(job, platform.fallback_settings_path, report);
    else
      LoadSettings(job, own, report, platform::Links::kRefuse);
  }
  const bool encoder_exists = settings.Rules().NamesFile(settings.Encoder.Text());
  job.SetFParamsLive(true);
  return encoder_exists ? FocusTarget::kInput : FocusTarget::kEncoder;
}

}  // namespace korvu::job
