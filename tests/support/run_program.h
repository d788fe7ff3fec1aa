#pragma once

#include <string>
#include <vector>

namespace korvu::test {

// How a program run ended (exit status, or 128 + signal) and what it wrote.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;

  std::vector<std::string> ErrLines() const;
};

// Runs `args` (args[0] looked up on PATH) in the folder `dir` with no input and waits for it
// without time limit; throws when it cannot be started.
RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir);

}  // namespace korvu::test
