#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace korvu::cmd {

// "ECHO text" (also "ECHO.text" and the like): writes the text and a line end.
struct Echo {
  std::string text;
};
// "ECHO ON" / "ECHO OFF": switches the echo of command lines.
struct EchoSwitch {
  bool on;
};
// "ECHO" alone: reports whether echo is on.
struct EchoQuery {};
struct Pause {};
// "REM ..." and an empty line.
struct Nothing {};
struct Goto {
  std::string label;  // without a leading ':'; empty when none was given
};
// "IF [NOT] ERRORLEVEL n command": runs `command` when the last exit code is n or more (NOT:
// less than n).
struct IfErrorLevel {
  bool negated;
  long long level;
  std::string command;
};
// A form of a built-in command that this interpreter does not implement, such as IF EXIST.
struct Unsupported {
  std::string what;
};
// Anything else: a program to start, with its arguments.
struct RunProgram {
  std::string command_line;
};

using Statement = std::variant<Echo, EchoSwitch, EchoQuery, Pause, Nothing, Goto, IfErrorLevel,
                               Unsupported, RunProgram>;

// What a line means, once its percents are expanded and its escapes resolved. Keywords are
// recognised in any letter case. Leading blanks and '@' must already be gone.
Statement ParseStatement(std::string_view line);

// True when the line, after leading blanks, begins with the keyword REM: such a line is a comment
// and is not checked for operators.
bool IsRemark(std::string_view line);

}  // namespace korvu::cmd
