#include "job/job.h"

namespace korvu::job {

Job::Job(const PathRules& rules) : settings_(rules) {
  settings_.OnAnyChange([this] { UpdateParams(); });
}

void Job::UpdateParams() {
  if (!params_live_) return;
  BuildParamLine(settings_, line_);
  if (on_updated_) on_updated_();
}

}  // namespace korvu::job
