#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include "job/job_settings.h"
#include "job/value_forms.h"

namespace korvu::test {

// The sixteen values of a job by key, as the settings file writes them; BRef by its three states,
// since the written flag cannot tell grayed from unchecked.
inline std::map<std::string, std::string> Snapshot(const job::JobSettings& settings) {
  std::map<std::string, std::string> values;
  for (const job::SettingsKey& key : job::kSettingsKeys)
    values[std::string(key.name)] = job::WrittenValue(settings, key);
  constexpr const char* kStates[] = {"unchecked", "checked", "grayed"};
  values["BRef"] = kStates[static_cast<int>(settings.BRef.State())];
  return values;
}

// `base` with the values of `changes` put in.
inline std::map<std::string, std::string> With(std::map<std::string, std::string> base,
                                               const std::map<std::string, std::string>& changes) {
  for (const auto& [key, value] : changes) {
    if (!base.contains(key)) throw std::logic_error("no such key: " + key);
    base[key] = value;
  }
  return base;
}

}  // namespace korvu::test
