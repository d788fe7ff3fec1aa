#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace korvu::platform {

// Window-show mode for a normal console window (SW_SHOWNORMAL).
inline constexpr std::uint16_t kShowNormal = 1;

// Starts `command_line` as a new process in a console window of its own and waits, without time
// limit, until it has ended. Returns the process's exit code, or -1 when nothing could be started.
//
// The command line is Windows-style: its first word names the program (in double quotes when it
// holds blanks); the rest are its arguments. At most its first 511 characters are used (a longer
// line is cut there), as is everything before an embedded NUL. The process gets the caller's
// environment and current folder. `show_mode` is the console window's
// show mode (kShowNormal for the job script).
//
// Windows: CreateProcessA with a new console; a batch script (.bat, .cmd) runs through the
// platform's command interpreter. The process inherits the handles made inheritable, which only
// a script's hold is (script_hold.h): the console keeps the script held while it runs.
//
// POSIX: `korvu-cmd` (found next to the running executable, else on PATH; -1 without it) starts
// the command line: a program word naming a batch script runs that script, any other program runs
// directly with the rest of the line split by the Windows C-runtime rules. The console is a
// terminal emulator window: $TERMINAL when set, else the first of x-terminal-emulator, xterm,
// gnome-terminal, konsole, xfce4-terminal on PATH. When there is none, or it cannot open its
// window (no display), korvu-cmd runs in the caller's own terminal when standard input is one;
// otherwise the result is -1. A program that cannot be found gives -1 (its console has opened and
// closed again by then). Closing the console window before the end gives 128 + SIGHUP. The show
// mode is not applied: the window always opens normally.
[[nodiscard]] int ExecAndWait(const std::string& command_line, std::uint16_t show_mode);

// How a run in a console went: the exit code, or -1 and why nothing could be started.
struct ExecResult {
  ExecResult(int code = -1) : exit_code(code) {}  // a bare exit code: no reason given
  ExecResult(int code, std::string why) : exit_code(code), failure(std::move(why)) {}
  int exit_code;
  // Why no console ran the command line, as a sentence that names what failed and the system's
  // reason ("The temporary folder /nonexistent cannot be used: No such file or directory"); empty
  // when it ran.
  std::string failure;
};

// ExecAndWait with the reason when nothing could be started.
[[nodiscard]] ExecResult RunInNewConsole(const std::string& command_line, std::uint16_t show_mode);

// The command line that runs the script at `script_path`: the path wrapped in double quotes, so
// that a blank in it cannot split it (on Windows an unquoted "C:\Program Files\..." would start
// "C:\Program" first). ExecAndWait reads it back as exactly that path. A path holding '"' cannot
// be written as a program word; Windows paths never hold one.
inline std::string ScriptCommandLine(const std::string& script_path) {
  return '"' + script_path + '"';
}

}  // namespace korvu::platform
