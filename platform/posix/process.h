#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Starting a program on POSIX, for the console run here and for korvu-cmd.
namespace korvu::platform {

// Starts the file `path` with `argv` directly (never through a shell), with this process's
// environment, current folder and standard streams. The child starts with default signal
// dispositions and an empty signal mask, whatever this process changed: exec resets handlers, but
// an ignored SIGPIPE or a blocked signal would be inherited. With `new_session` the child leads a
// session of its own, so that signals from the caller's terminal do not reach it.
// Returns 0 and sets `pid`, or returns the errno of the failed start.
[[nodiscard]] int StartProcess(const std::string& path, const std::vector<std::string>& argv,
                               bool new_session, pid_t& pid);

// Waits for the child `pid` to end: its exit code, or 128 + the signal number when a signal ended
// it (128 when it cannot be waited for).
int WaitForExit(pid_t pid);

struct SpawnResult {
  bool started;   // false when the program could not be started at all
  int error;      // errno of the failed start
  int exit_code;  // see WaitForExit
};

// StartProcess in this process's session, then WaitForExit.
SpawnResult SpawnAndWait(const std::string& path, const std::vector<std::string>& argv);

}  // namespace korvu::platform
