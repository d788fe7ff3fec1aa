#include "job/job_settings.h"

namespace korvu::job {

JobSettings::JobSettings(const PathRules& rules) : rules_(rules) {
  Input.OnChange([this] { DeriveOutput(); });
  Pyramide.OnChange([this] { ApplyPyramidCoupling(); });
}

void JobSettings::OnAnyChange(const Observable::Listener& listener) {
  for (Observable* value : std::initializer_list<Observable*>{
           &Encoder, &Stats, &Input, &Output, &EncQuality, &Bitrate, &Threads, &GOPSec, &MaxBFrames,
           &RefFrames, &BRef, &Pyramide, &SourceType, &MBAFF, &fps, &MaxFrames})
    value->OnChange(listener);
}

void JobSettings::ApplyPyramidCoupling() {
  BRef.SetState(Pyramide.Value() ? CheckState::kGrayed : CheckState::kChecked);
}

void JobSettings::DeriveOutput() {
  const std::string name = rules_.ReplaceExtension(rules_.FileName(Input.Text()), kOutputExtension);
  Output.SetText(rules_.PathText(name));
}

}  // namespace korvu::job
