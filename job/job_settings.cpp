#include "job/job_settings.h"

namespace korvu::job {

// Constant-initialised: ready before any static initialiser of another file could look at it.
constinit const std::array<SettingsKey, 16> kSettingsKeys = {{
    {"Encoder", &JobSettings::Encoder},
    {"Stats", &JobSettings::Stats},
    {"Input", &JobSettings::Input},  // its change derives Output, before Output is read
    {"Output", &JobSettings::Output},
    {"EncQuality", &JobSettings::EncQuality},
    {"Bitrate", &JobSettings::Bitrate},
    {"Threads", &JobSettings::Threads},
    {"GOPSec", &JobSettings::GOPSec},
    {"MaxBFrames", &JobSettings::MaxBFrames},
    {"RefFrames", &JobSettings::RefFrames},
    {"BRef", &JobSettings::BRef},
    {"Pyramide", &JobSettings::Pyramide},
    {"SourceType", &JobSettings::SourceType},
    {"MBAFF", &JobSettings::MBAFF},
    {"fps", &JobSettings::fps},
    {"MaxFrames", &JobSettings::MaxFrames},
}};

// The coupling rules subscribe first, so the value that set them off notifies its OnAnyChange
// listeners after theirs have been passed over.
JobSettings::JobSettings(const PathRules& rules) : rules_(rules) {
  Input.OnChange([this] { Coupled(&JobSettings::DeriveOutput); });
  Pyramide.OnChange([this] { Coupled(&JobSettings::ApplyPyramidCoupling); });
}

// A refused derived name leaves the rule by an exception; the count is restored all the same.
void JobSettings::Coupled(void (JobSettings::*rule)()) {
  struct Restore {
    int& count;
    ~Restore() { --count; }
  } restore{++coupled_changes_};
  (this->*rule)();
}

void JobSettings::OnAnyChange(const Observable::Listener& listener) {
  for (const SettingsKey& key : kSettingsKeys)
    VisitValue(*this, key, [&](Observable& value) {
      value.OnChange([this, listener] {
        if (coupled_changes_ == 0) listener();
      });
    });
}

void JobSettings::ApplyPyramidCoupling() {
  BRef.SetState(Pyramide.Value() ? CheckState::kGrayed : CheckState::kChecked);
}

void JobSettings::DeriveOutput() {
  const std::string name = rules_.ReplaceExtension(rules_.FileName(Input.Text()), kOutputExtension);
  Output.SetText(rules_.PathText(name));
}

}  // namespace korvu::job
