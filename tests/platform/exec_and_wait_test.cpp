// ExecAndWait without a display: the caller's own terminal as the console, the cases where
// nothing can be started, and what a run leaves in the temporary folder.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "job/job_script.h"
#include "platform/exec_and_wait.h"
#include "platform/posix/fd.h"
#include "tests/platform/exec_probe_run.h"
#include "tests/support/child_process.h"
#include "tests/support/cmd_paths.h"
#include "tests/support/stub_calls.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"

namespace korvu::test {
namespace {

// A display number with no server behind it.
std::string DeadDisplay() {
  int number = 4242;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) ++number;
  return ":" + std::to_string(number);
}

class ExecAndWaitTest : public testing::Test {
 protected:
  ExecAndWaitTest() { std::filesystem::create_directories(no_programs_); }

  // PATH without any terminal emulator (and without korvu-cmd).
  std::map<std::string, std::optional<std::string>> WithoutEmulator() const {
    return {{"PATH", no_programs_}, {"TERMINAL", std::nullopt}};
  }
  // Runs the probe on the caller's terminal `terminal` until the job script's PAUSE, presses a
  // key there and returns what ExecAndWait gave.
  std::optional<int> RunThroughPause(ChildOptions options, PseudoTerminal& terminal) const {
    options.terminal_fd = terminal.slave;
    Child probe(options);
    EXPECT_TRUE(WaitFor([&] {
      terminal.ReadAvailable();
      return terminal.shown.find("Press any key to continue . . . ") != std::string::npos;
    })) << terminal.shown;
    terminal.Type(" ");
    EXPECT_EQ(probe.Wait().exit_code, 0);
    return ProbeResult(dir_);
  }

  TempDir dir_;
  const std::string no_programs_ = dir_ / "no programs";
};

// Where nothing can start, the caller learns why.
TEST_F(ExecAndWaitTest, WhereNothingCanRunTheReasonIsGiven) {
  const std::string script = dir_.Write("job.bat", "@\"" + std::string(kStubEncoder) + "\"\r\n");
  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {std::nullopt,
       "No terminal emulator was found ($TERMINAL, xterm and others), and Korvu has "
       "no terminal of its own"},
      {"/nonexistent",
       "The temporary folder /nonexistent cannot be used: No such file or directory"},
  };
  for (const auto& [temp, failure] : cases) {
    auto environment = WithoutEmulator();
    if (temp) environment["TMPDIR"] = temp, environment["TERMINAL"] = "/bin/false";
    RunChild(ProbeOptions(dir_, platform::ScriptCommandLine(script), environment));
    EXPECT_EQ(ProbeResult(dir_), -1);
    EXPECT_EQ(ProbeFailure(dir_), failure);
  }
  EXPECT_TRUE(ReadStubCalls(dir_ / "record").empty());
}

TEST_F(ExecAndWaitTest, WithoutEmulatorTheJobScriptRunsInTheCallersTerminal) {
  const std::string script =
      dir_.Write("my jobs/Korvu.bat", job::ScriptText(kStubEncoder, " -i clip.avi -o clip.264"));
  ChildOptions options = ProbeOptions(dir_, platform::ScriptCommandLine(script), WithoutEmulator());
  options.environment["KORVU_STUB_PASS2"] = "4";
  PseudoTerminal terminal;

  EXPECT_EQ(RunThroughPause(options, terminal), 4);
  EXPECT_EQ(ReadStubCalls(dir_ / "record").size(), 2u);
  EXPECT_NE(terminal.shown.find("stub encoder: pass 2"), std::string::npos) << terminal.shown;
  EXPECT_NE(terminal.shown.find('\a'), std::string::npos) << "no bell";
}

TEST_F(ExecAndWaitTest, EmulatorWithoutDisplayFallsBackToTheCallersTerminal) {
  const std::string script = dir_.Write("Korvu.bat", job::ScriptText(kStubEncoder, " -i a.avi"));
  ChildOptions options =
      ProbeOptions(dir_, platform::ScriptCommandLine(script),
                   {{"TERMINAL", "xterm"}, {"DISPLAY", DeadDisplay()}, {"KORVU_STUB_PASS1", "6"}});
  PseudoTerminal terminal;

  EXPECT_EQ(RunThroughPause(options, terminal), 6);
  EXPECT_EQ(ReadStubCalls(dir_ / "record").size(), 1u);
}

TEST_F(ExecAndWaitTest, KorvuCmdIsFoundBesideTheProgramOrOnPath) {
  // A copy of the probe in a folder of its own no longer has korvu-cmd beside it.
  const std::string lonely_probe = dir_ / "alone/korvu-exec-probe";
  std::filesystem::create_directories(dir_ / "alone");
  std::filesystem::copy_file(kExecProbe, lonely_probe);
  const std::string script = dir_.Write("Korvu.bat", job::ScriptText(kStubEncoder, ""));
  const std::string line = platform::ScriptCommandLine(script);
  PseudoTerminal terminal;

  ChildOptions options = ProbeOptions(dir_, line, WithoutEmulator(), lonely_probe);
  options.terminal_fd = terminal.slave;
  RunChild(options);
  EXPECT_EQ(ProbeResult(dir_), -1) << "korvu-cmd is nowhere";
  EXPECT_EQ(ProbeFailure(dir_),
            "korvu-cmd, which runs the job script, is neither beside Korvu nor on PATH");

  const std::string cmd_folder = std::filesystem::path(kKorvuCmd).parent_path().string();
  options.environment["PATH"] = no_programs_ + ":" + cmd_folder;
  EXPECT_EQ(RunThroughPause(options, terminal), 0);
  EXPECT_EQ(ReadStubCalls(dir_ / "record").size(), 2u);
}

// The run's private folder in a temporary folder of the test's own: a caller ended by any signal
// while korvu-cmd waits at the script's PAUSE leaves nothing there.
TEST_F(ExecAndWaitTest, ACallerEndedDuringTheRunLeavesNothingBehind) {
  const std::string temp = dir_ / "temp";
  std::filesystem::create_directories(temp);
  const std::string script = dir_.Write("Korvu.bat", job::ScriptText(kStubEncoder, " -i a.avi"));
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGKILL}) {
    ChildOptions options =
        ProbeOptions(dir_, platform::ScriptCommandLine(script), WithoutEmulator());
    options.environment["TMPDIR"] = temp;
    // The shell tells the probe's process id, which it then becomes.
    options.argv.insert(options.argv.begin(),
                        {"/bin/sh", "-c", "echo $$ >\"$0\" && exec \"$@\"", dir_ / "pid"});
    PseudoTerminal terminal;
    options.terminal_fd = terminal.slave;
    Child probe(options);
    ASSERT_TRUE(WaitFor([&] {
      terminal.ReadAvailable();
      return terminal.shown.find("Press any key") != std::string::npos;
    })) << terminal.shown;
    EXPECT_TRUE(Listing(temp).empty()) << "during the run";
    pid_t pid = 0;
    std::ifstream(dir_ / "pid") >> pid;
    ASSERT_GT(pid, 0);
    kill(pid, signal);
    EXPECT_EQ(probe.Wait().exit_code, 128 + signal) << strsignal(signal);
    EXPECT_TRUE(Listing(temp).empty()) << strsignal(signal);
    terminal.Type(" ");  // the key korvu-cmd waits for
  }
}

// The folder that a caller killed before korvu-cmd had started left is removed by the next run;
// one whose caller still runs, and holds its lock, stays.
TEST_F(ExecAndWaitTest, TheNextRunRemovesWhatAnEndedCallerLeft) {
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string temp = dir_ / "temp";
  const std::string stale = "korvu-run-" + std::to_string(ended) + "-aB3xY9";
  const std::string running = "korvu-run-" + std::to_string(getpid()) + "-aB3xY9";
  for (const std::string& name : {stale, running}) {
    std::filesystem::create_directories(temp + "/" + name);
    ASSERT_EQ(mkfifo((temp + "/" + name + "/status").c_str(), 0600), 0);
  }
  const platform::Fd lock(open((temp + "/" + running).c_str(), O_RDONLY | O_DIRECTORY));
  ASSERT_EQ(flock(lock.Get(), LOCK_EX), 0);
  const std::string script = dir_.Write("Korvu.bat", job::ScriptText(kStubEncoder, ""));
  ChildOptions options = ProbeOptions(dir_, platform::ScriptCommandLine(script), WithoutEmulator());
  options.environment["TMPDIR"] = temp;
  PseudoTerminal terminal;

  EXPECT_EQ(RunThroughPause(options, terminal), 0);
  EXPECT_EQ(Listing(temp), std::vector<std::string>{running});
}

}  // namespace
}  // namespace korvu::test
