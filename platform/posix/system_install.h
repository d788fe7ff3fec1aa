#pragma once

#include <sys/stat.h>

#include <string>

namespace korvu::platform {

// A package that installs Korvu for every user of the system (the Debian package) ships this file
// beside the programs. Korvu then never writes into that folder, whoever runs it: root may write
// there, but what it left would stay behind when the package is removed.
inline constexpr char kSystemInstallMarker[] = "system-install";

// Whether `folder` holds the marker of a system-wide install.
inline bool IsSystemInstall(const std::string& folder) {
  struct stat info;
  return stat((folder + '/' + kSystemInstallMarker).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace korvu::platform
