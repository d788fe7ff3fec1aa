#pragma once

#include <string>

namespace korvu::cmd {

// The report korvu-cmd gives to the program that opened its console (platform/exec_and_wait.h on
// POSIX), whose own child is the terminal emulator and therefore cannot see korvu-cmd's exit code.
// The channel is a FIFO that the caller creates and keeps open for reading; korvu-cmd writes
// short text messages into it:
//   "started\n"      at once, so the caller knows the console works;
//   "not-started\n"  when the command line's program cannot be found or started;
//   "exit N\n"       with the exit code N at the end, also when a hang-up, interrupt, quit or
//                    terminate signal ends korvu-cmd (N = 128 + the signal number).
// korvu-cmd closing its end (normally by ending) tells the caller the run is over.
namespace status_report {

// Opens the channel at `fifo_path`, installs the signal handlers and writes "started". Returns
// false when there is no reader (or no such FIFO); the run goes on without a report then.
bool Open(const std::string& fifo_path);
void NotStarted();
void Finished(int exit_code);

}  // namespace status_report
}  // namespace korvu::cmd
