#pragma once

#include <string>
#include <vector>

namespace korvu::enc {

// The whole program on its arguments (UTF-8, without the program's name): one pass, or the
// usage. Reports a failure in one line on the standard error. Returns the exit status.
int RunCommand(const std::vector<std::string>& args);

}  // namespace korvu::enc
