#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What `korvu` started from a terminal answers before any window exists: its options, and a
// start without a display, which the window toolkit would end with an abort.
namespace korvu::app {

// The environment's say on the display, each variable's value or null when unset.
struct DisplayEnvironment {
  const char* display = nullptr;          // DISPLAY, the X server
  const char* wayland_display = nullptr;  // WAYLAND_DISPLAY
  const char* qt_platform = nullptr;      // QT_QPA_PLATFORM, the toolkit's window system
};

struct CommandLineAnswer {
  bool to_standard_error = false;
  std::string text;  // whole lines
  int exit_status = 0;
};

// The answer to the program's arguments (without its own name), or nothing when the window is to
// open. --help (-h) and --version answer on standard output with status 0, whatever the display;
// any other argument is refused with status 2, and a start without a display with status 1.
// A window system that needs no display (QT_QPA_PLATFORM=offscreen) leaves that to the toolkit.
std::optional<CommandLineAnswer> AnswerWithoutWindow(const std::vector<std::string>& arguments,
                                                     const DisplayEnvironment& environment,
                                                     std::string_view version);

// The one line for a display that is named but on which the window system cannot start.
std::string DisplayFailureLine(const DisplayEnvironment& environment);

}  // namespace korvu::app
