#pragma once

#include <string>

#include "cmd/host.h"

namespace korvu::cmd {

// The real world: the process environment (names matched exactly first, then in any letter case,
// as on Windows), standard output and error, the terminal on standard input for PAUSE, and
// programs found by cmd/program_search.h and started by cmd/spawn.h.
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
  int RunProgram(std::string_view command_line) override;

 private:
  std::string self_;
};

// The value of an environment variable, matched exactly first and then in any letter case.
std::optional<std::string> EnvironmentVariable(std::string_view name);

}  // namespace korvu::cmd
