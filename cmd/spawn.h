#pragma once

#include <string>
#include <vector>

namespace korvu::cmd {

struct SpawnResult {
  bool started;   // false when the program could not be started at all
  int error;      // errno of the failed start
  int exit_code;  // its exit code; 128 + the signal number when a signal ended it
};

// Starts the file `path` with `argv` directly (never through a shell), with this process's
// environment, current folder and standard streams, and waits for it to end. The child starts
// with default signal dispositions and an empty signal mask, whatever this process changed.
SpawnResult SpawnAndWait(const std::string& path, const std::vector<std::string>& argv);

}  // namespace korvu::cmd
