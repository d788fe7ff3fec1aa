// What the program answers in a terminal before it makes a window.
#include "app/form/command_line.h"

#include <gtest/gtest.h>

namespace korvu::app {
namespace {

TEST(CommandLineTest, AnswersTheTerminalOrLeavesItToTheWindow) {
  struct Case {
    std::vector<std::string> arguments;
    DisplayEnvironment environment;
    int exit_status;  // -1: the window opens
    bool to_standard_error;
    std::string starts_with;
  };
  const DisplayEnvironment none;
  const Case cases[] = {
      {{"--version"}, none, 0, false, "Korvu 0.1.7\n"},
      {{"--help"}, none, 0, false, "Usage: korvu [--help | --version]\n"},
      {{"-h", "--version"}, {":0"}, 0, false, "Usage: korvu"},
      {{"clip.avi"}, {":0"}, 2, true, "korvu: unknown argument 'clip.avi'"},
      {{}, none, 1, true, "korvu: no display"},
      {{}, {"", ""}, 1, true, "korvu: no display"},
      {{}, {nullptr, nullptr, "wayland;xcb"}, 1, true, "korvu: no display"},
      {{}, {":0"}, -1, false, ""},
      {{}, {nullptr, "wayland-0"}, -1, false, ""},
      {{}, {nullptr, nullptr, "offscreen"}, -1, false, ""},
  };
  for (const Case& c : cases) {
    const std::string name = c.arguments.empty() ? "(none)" : c.arguments.front();
    const auto answer = AnswerWithoutWindow(c.arguments, c.environment, "0.1.7");
    ASSERT_EQ(answer ? answer->exit_status : -1, c.exit_status) << name;
    if (!answer) continue;
    EXPECT_EQ(answer->to_standard_error, c.to_standard_error) << name;
    EXPECT_EQ(answer->text.rfind(c.starts_with, 0), 0u) << name << ": " << answer->text;
    // One line on standard error, as a terminal's user reads a refusal.
    if (c.to_standard_error) {
      EXPECT_EQ(answer->text.find('\n'), answer->text.size() - 1) << name;
    }
  }
}

}  // namespace
}  // namespace korvu::app
