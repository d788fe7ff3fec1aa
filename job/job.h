#pragma once

#include <functional>
#include <string>
#include <utility>

#include "job/job_settings.h"
#include "job/param_line.h"

namespace korvu::job {

// The job the window shows: its values and the parameter line built from them. Every change of a
// value ends in UpdateParams, which does its work only while FParamsLive is on, so that a burst of
// changes (start-up, a settings load) ends in one rebuild.
class Job {
 public:
  explicit Job(const PathRules& rules);
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  JobSettings& Settings() { return settings_; }
  const JobSettings& Settings() const { return settings_; }

  bool FParamsLive() const { return params_live_; }
  void SetFParamsLive(bool live) { params_live_ = live; }

  // Rebuilds FParams, the readiness and the preview from the values and tells the listener; while
  // FParamsLive is off it does nothing at all.
  void UpdateParams();

  const std::string& FParams() const { return line_.params; }
  bool EncodeEnabled() const { return line_.ready; }
  const std::string& Preview() const { return line_.preview; }

  // Called after every rebuild, so a window can show the button's state and the preview.
  void OnParamsUpdated(std::function<void()> listener) { on_updated_ = std::move(listener); }

 private:
  JobSettings settings_;
  bool params_live_ = false;
  ParamLine line_;
  std::function<void()> on_updated_;
};

}  // namespace korvu::job
