#pragma once

#include <functional>
#include <string>

#include "cmd/host.h"
#include "cmd/program_search.h"
#include "platform/posix/process.h"

namespace korvu::cmd {

// The real world: the process environment (names matched exactly first, then in any letter case,
// as on Windows), standard output and error, the terminal on standard input for PAUSE, and
// programs found by cmd/program_search.h and started by platform/posix/process.h.
class SystemHost final : public Host {
 public:
  // `self` is this program's executable: a batch script named on a script line runs through it.
  explicit SystemHost(std::string self);

  std::optional<std::string> Variable(std::string_view name) override;
  void Write(std::string_view text) override;
  void WriteError(std::string_view text) override;
  std::string CurrentFolder() override;
  // "Press any key to continue . . . ", then one key from a terminal on standard input; returns at
  // once when standard input is no terminal or at its end.
  void Pause() override;
  // A batch script named on a script line runs in a korvu-cmd of its own.
  int RunProgram(std::string_view command_line) override;

  // How a batch script that a command line names is run (its path and its argv).
  using BatchRun = std::function<platform::SpawnResult(const ResolvedCommand& script)>;
  // Runs the program of `command_line`: a batch script through `run_batch`, any other program
  // started directly with the rest of the line split by the Windows rules. Reports a program that
  // cannot be found or started on standard error, with kNotRecognizedErrorLevel as the result;
  // `started` tells whether anything ran.
  int RunCommandLine(std::string_view command_line, const BatchRun& run_batch, bool& started);

 private:
  std::string self_;
};

// The value of an environment variable, matched exactly first and then in any letter case.
std::optional<std::string> EnvironmentVariable(std::string_view name);

}  // namespace korvu::cmd
