#pragma once

#include <string>

#include "job/job.h"
#include "job/settings_file.h"
#include "platform/registry.h"

namespace korvu::job {

// What the first activation takes from the platform: the per-user registry, the processor count
// read once at start-up, and the executable's full path (which names the default settings file).
// A program whose folder its user cannot write names its default settings file in a folder of the
// user's instead; until the user has saved one there, the program's own file is read.
struct StartupPlatform {
  const platform::Registry& registry;
  int processor_count = 1;
  std::string executable_path;
  std::string fallback_settings_path = {};  // empty: none
};

enum class FocusTarget { kInput, kEncoder };

// The work of the window's first activation, in this order:
//  1. the installed encoder (DiscoverEncoder) becomes the encoder's text, when there is a key;
//  2. the thread maximum becomes twice the processor count, then the thread value the count;
//  3. the default settings file (DefaultSettingsPath) is loaded when it exists, else the fallback
//     settings file when there is one and it exists; its values replace what 1 and 2 set (a
//     stored thread value above the maximum gives the maximum); the load's refused output names
//     go to `report`;
//  4. FParamsLive goes on.
// Returns where the focus goes: the input when the encoder's file name is an existing file (as the
// settings file left it), else the encoder. UpdateParams is not run here, except by the load.
// An error leaves at once with what the earlier steps did: from the registry, FParamsLive stays
// off; from the settings file, the load has switched it back on.
FocusTarget FirstActivation(Job& job, const StartupPlatform& platform, const ErrorReport& report);

}  // namespace korvu::job
