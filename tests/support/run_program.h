#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace korvu::test {

// How a program run ended (exit status, or 128 + signal) and what it wrote.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;

  std::vector<std::string> ErrLines() const;
};

// `args` (args[0] looked up on PATH) started in the folder `dir` with no input; throws when it
// cannot be started.
class RunningProgram {
 public:
  RunningProgram(const std::vector<std::string>& args, const std::string& dir);
  pid_t Pid() const { return pid_; }
  // Waits for its end without time limit.
  RunResult Wait();

 private:
  TempDir capture_;  // its stdout and stderr
  pid_t pid_ = 0;
};

// Runs `args` (args[0] looked up on PATH) in the folder `dir` with no input and waits for it.
RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir);

}  // namespace korvu::test
