#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cmd/host.h"
#include "cmd/statement.h"

namespace korvu::cmd {

// Runs a batch script line by line, as the platform's command interpreter runs the job script:
// '@', ECHO, PAUSE, REM, labels and GOTO, IF [NOT] ERRORLEVEL, %-expansion, '^' escapes and
// program lines. A line with an unquoted & | < > runs nothing and sets ERRORLEVEL 1.
class Interpreter {
 public:
  // `arguments[0]` is the script's name (%0); further entries are %1 and so on.
  Interpreter(Host& host, std::vector<std::string> lines, std::vector<std::string> arguments);

  // Runs the script to its end (or to a GOTO whose label is missing); returns the last ERRORLEVEL.
  int Run();

 private:
  void RunLine(std::string_view line);
  void Execute(const Statement& statement);
  void Execute(const Echo& echo);
  void Execute(const EchoSwitch& echo_switch);
  void Execute(const EchoQuery& query);
  void Execute(const Pause& pause);
  void Execute(const Nothing& nothing);
  void Execute(const Goto& jump);
  void Execute(const IfErrorLevel& condition);
  void Execute(const Unsupported& unsupported);
  void Execute(const RunProgram& run);
  void EchoCommand(std::string_view command);
  // The index of the line after `label`, searching from the next line down, then from the top.
  std::optional<std::size_t> FindLabel(std::string_view label) const;

  Host& host_;
  std::vector<std::string> lines_;
  std::vector<std::string> arguments_;
  std::size_t next_line_ = 0;
  int errorlevel_ = 0;
  bool echo_on_ = true;
};

}  // namespace korvu::cmd
