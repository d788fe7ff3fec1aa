#pragma once

#include <string>

namespace korvu::platform {

// The full path of the running program's executable, as the operating system reports it;
// empty when it cannot be found out.
std::string ExecutablePath();

}  // namespace korvu::platform
