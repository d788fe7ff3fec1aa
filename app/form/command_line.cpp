#include "app/form/command_line.h"

namespace korvu::app {
namespace {

constexpr std::string_view kHelp =
    "Usage: korvu [--help | --version]\n"
    "Opens Korvu's window, which builds an H.264 encoder's command line from a job's values\n"
    "and runs a two-pass encode in a terminal of its own.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "The window needs a display (DISPLAY or WAYLAND_DISPLAY). korvu(1) describes the files\n"
    "Korvu keeps.\n";

bool Set(const char* value) {
  return value != nullptr && value[0] != '\0';
}

// Whether the toolkit's window system is one that draws on a display: X11 (xcb) or Wayland,
// also in a list of them to try ("wayland;xcb").
bool NeedsDisplay(const char* qt_platform) {
  if (!Set(qt_platform)) return true;
  const std::string_view platform(qt_platform);
  return platform.find("xcb") != platform.npos || platform.find("wayland") != platform.npos;
}

}  // namespace

std::optional<CommandLineAnswer> AnswerWithoutWindow(const std::vector<std::string>& arguments,
                                                     const DisplayEnvironment& environment,
                                                     std::string_view version) {
  // The first argument decides, as the program takes no other.
  if (!arguments.empty()) {
    const std::string& argument = arguments.front();
    if (argument == "--help" || argument == "-h")
      return CommandLineAnswer{false, {kHelp.begin(), kHelp.end()}, 0};
    if (argument == "--version")
      return CommandLineAnswer{false, "Korvu " + std::string(version) + "\n", 0};
    return CommandLineAnswer{
        true, "korvu: unknown argument '" + argument + "' (korvu --help lists the options)\n", 2};
  }
  if (NeedsDisplay(environment.qt_platform) && !Set(environment.display) &&
      !Set(environment.wayland_display))
    return CommandLineAnswer{
        true,
        "korvu: no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY is set\n", 1};
  return std::nullopt;
}

std::string DisplayFailureLine(const DisplayEnvironment& environment) {
  const auto shown = [](const char* name, const char* value) {
    return std::string(name) + (Set(value) ? "=" + std::string(value) : " unset");
  };
  return "korvu: cannot open the window on the display (" + shown("DISPLAY", environment.display) +
         ", " + shown("WAYLAND_DISPLAY", environment.wayland_display) + ")\n";
}

}  // namespace korvu::app
