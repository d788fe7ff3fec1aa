// ExecAndWait as the window uses it: a real xterm on a virtual display runs korvu-cmd on the job
// script, and the call returns the exit code once the console window has closed.

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/exec_and_wait.h"
#include "tests/platform/exec_probe_run.h"
#include "tests/platform/xvfb.h"
#include "tests/support/child_process.h"
#include "tests/support/cmd_paths.h"
#include "tests/support/stub_calls.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"

namespace korvu::test {
namespace {

class ExecAndWaitConsoleTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { xvfb_ = std::make_unique<Xvfb>(); }
  static void TearDownTestSuite() { xvfb_.reset(); }

  void SetUp() override { ASSERT_FALSE(xvfb_->display().empty()) << "Xvfb did not start"; }

  ChildOptions Probe(const std::string& command_line) const {
    return ProbeOptions(dir_, command_line, {{"DISPLAY", xvfb_->display()}, {"TERMINAL", "xterm"}});
  }

  // The id of the xterm window whose title holds `title`, or empty when there is none.
  std::string XtermWindow(const std::string& title) const {
    const ChildResult tree = RunChild({{"/usr/bin/xwininfo", "-root", "-tree"},
                                       {{"DISPLAY", xvfb_->display()}},
                                       "",
                                       "",
                                       std::nullopt});
    std::istringstream lines(tree.out);
    for (std::string line; std::getline(lines, line);) {
      if (line.find(title) != std::string::npos &&
          line.find("(\"xterm\" \"XTerm\")") != std::string::npos) {
        std::istringstream words(line);
        std::string id;
        words >> id;
        return id;
      }
    }
    return {};
  }

  // What went on when no console window showed up.
  std::string Diagnosis(Child& probe) const {
    const ChildResult tree = RunChild({{"/usr/bin/xwininfo", "-root", "-tree"},
                                       {{"DISPLAY", xvfb_->display()}},
                                       "",
                                       "",
                                       std::nullopt});
    const ChildResult processes =
        RunChild({{"/bin/ps", "-eo", "pid,ppid,stat,args"}, {}, "", "", std::nullopt});
    const ChildResult probe_result = probe.Wait(std::chrono::seconds(1));
    return "no console window on " + xvfb_->display() + "; ExecAndWait gave " +
           std::to_string(ProbeResult(dir_).value_or(-999)) + "\nprobe output:\n" +
           probe_result.out + probe_result.err + "\nwindows:\n" + tree.out + "\nprocesses:\n" +
           processes.out;
  }

  // A script that runs the stub encoder (found in the caller's folder) as pass 1 and waits there
  // until the test releases it.
  std::string WaitingScript() const {
    std::filesystem::copy_file(kStubEncoder, dir_ / "DivX264.exe");
    return dir_.Write("Program Files & Co/Korvu.bat", "@ECHO OFF\r\nDivX264 -npass 1 \"a b\"\r\n");
  }

  static std::unique_ptr<Xvfb> xvfb_;
  TempDir dir_;
};

std::unique_ptr<Xvfb> ExecAndWaitConsoleTest::xvfb_;

TEST_F(ExecAndWaitConsoleTest, ScriptRunsInAnXtermAndItsExitCodeComesBack) {
  const std::string line = platform::ScriptCommandLine(WaitingScript());
  ChildOptions options = Probe(line);
  options.environment["KORVU_STUB_WAIT_FOR"] = dir_ / "release";
  options.environment["KORVU_STUB_PASS1"] = "7";
  Child probe(options);

  ASSERT_TRUE(WaitFor([&] { return !XtermWindow("Korvu.bat").empty(); })) << Diagnosis(probe);
  ASSERT_TRUE(WaitFor([&] { return ReadStubCalls(dir_ / "record").size() == 1; }));
  EXPECT_FALSE(ProbeResult(dir_).has_value()) << "returned before the console ended";
  dir_.Write("release", "");

  EXPECT_EQ(probe.Wait().exit_code, 0);
  EXPECT_EQ(ProbeResult(dir_), 7);
  EXPECT_EQ(XtermWindow("Korvu.bat"), "") << "the console is still open";
  const std::vector<std::string> expected{"DivX264", "-npass", "1", "a b"};
  EXPECT_EQ(ReadStubCalls(dir_ / "record").at(0), expected);
}

TEST_F(ExecAndWaitConsoleTest, ClosingTheConsoleEndsTheRunWithHangUp) {
  const std::string line = platform::ScriptCommandLine(WaitingScript());
  ChildOptions options = Probe(line);
  options.environment["KORVU_STUB_WAIT_FOR"] = dir_ / "never";
  Child probe(options);
  std::string window;
  ASSERT_TRUE(WaitFor([&] { return !(window = XtermWindow("Korvu.bat")).empty(); }))
      << Diagnosis(probe);
  ASSERT_TRUE(WaitFor([&] { return ReadStubCalls(dir_ / "record").size() == 1; }));

  RunChild(
      {{"/usr/bin/xkill", "-id", window}, {{"DISPLAY", xvfb_->display()}}, "", "", std::nullopt});

  EXPECT_EQ(probe.Wait().exit_code, 0);
  EXPECT_EQ(ProbeResult(dir_), 128 + 1);
}

TEST_F(ExecAndWaitConsoleTest, OtherProgramsRunDirectlyWithWindowsArguments) {
  const std::string line = "\"" + std::string(kStubEncoder) + R"(" -npass 2 "x y" a\"b 100%)";
  ChildOptions options = Probe(line);
  options.environment["KORVU_STUB_PASS2"] = "3";

  EXPECT_EQ(RunChild(options).exit_code, 0);
  EXPECT_EQ(ProbeResult(dir_), 3);
  const std::vector<std::string> expected{kStubEncoder, "-npass", "2", "x y", "a\"b", "100%"};
  EXPECT_EQ(ReadStubCalls(dir_ / "record").at(0), expected);
}

TEST_F(ExecAndWaitConsoleTest, MissingProgramGivesMinusOne) {
  for (const std::string& line : {std::string(R"("/nonexistent/DivX264.exe" -npass 1)"),
                                  platform::ScriptCommandLine(dir_ / "no such folder/Korvu.bat")}) {
    const ChildResult probe = RunChild(Probe(line));
    EXPECT_EQ(probe.exit_code, 0);
    EXPECT_EQ(ProbeResult(dir_), -1) << line;
  }
}

}  // namespace
}  // namespace korvu::test
