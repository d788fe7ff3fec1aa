#include "platform/exec_and_wait.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/executable_path.h"
#include "platform/posix/fd.h"
#include "platform/posix/process.h"
#include "platform/posix/run_folder.h"

// How it works: korvu-cmd runs the command line inside a terminal emulator, which is our child.
// The emulator's exit code does not carry korvu-cmd's, so korvu-cmd reports through a FIFO that
// we create in a private folder and read (see cmd/status_report.h for the messages): "started"
// once it runs, then "exit N" or "not-started", then it closes its end by ending. That end is the
// signal that the run is over, also when korvu-cmd was killed. An emulator that exits before
// korvu-cmd has reported either failed (non-zero status: no display, say) or handed the window to
// a server process; in the second case korvu-cmd reports within a few seconds.
//
// The folder lives only until korvu-cmd has opened the FIFO: from its "started" on, the open ends
// carry the report and the names go, so that a Korvu ended by any signal during the run (SIGKILL
// included, which no handler sees) leaves nothing behind. We hold a lock on it while it has its
// name; each run first removes the folders whose lock nobody holds, what a Korvu killed while the
// console started left (see run_folder.h). No signal handler is installed: the window program's own
// reaction to signals stays as it is.

namespace korvu::platform {
namespace {

constexpr std::size_t kMaxCommandLine = 511;
// How long an emulator that exited with success may take to start korvu-cmd elsewhere.
constexpr std::chrono::seconds kHandOverTime(5);
// The result when korvu-cmd vanished without a report: only SIGKILL can do that.
constexpr int kKilledWithoutReport = 128 + SIGKILL;

std::string CutCommandLine(const std::string& line) {
  std::string cut = line.substr(0, line.find('\0'));
  if (cut.size() > kMaxCommandLine) cut.resize(kMaxCommandLine);
  return cut;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A program name with a '/' as it is; any other on PATH.
std::optional<std::string> SearchPath(const std::string& name) {
  if (name.find('/') != std::string::npos) {
    if (IsExecutableFile(name)) return name;
    return std::nullopt;
  }
  const char* path_variable = std::getenv("PATH");
  std::string_view folders = path_variable != nullptr ? path_variable : "";
  while (!folders.empty()) {
    const std::size_t colon = folders.find(':');
    const std::string folder(folders.substr(0, colon));
    folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
    if (!folder.empty() && IsExecutableFile(folder + "/" + name)) return folder + "/" + name;
  }
  return std::nullopt;
}

std::optional<std::string> FindInterpreter() {
  const std::string executable = ExecutablePath();
  if (!executable.empty()) {
    const std::string beside =
        (std::filesystem::path(executable).parent_path() / "korvu-cmd").string();
    if (IsExecutableFile(beside)) return beside;
  }
  return SearchPath("korvu-cmd");
}

std::optional<std::string> FindTerminal() {
  const char* chosen = std::getenv("TERMINAL");
  if (chosen != nullptr && *chosen != '\0')
    if (auto found = SearchPath(chosen)) return found;
  for (const char* name :
       {"x-terminal-emulator", "xterm", "gnome-terminal", "konsole", "xfce4-terminal"})
    if (auto found = SearchPath(name)) return found;
  return std::nullopt;
}

// The emulator's options that run a program with its arguments and keep the emulator process
// until that program ends. The xterm family (and x-terminal-emulator, by Debian policy) takes
// -T title and -e; an emulator we do not know gets -e alone.
std::vector<std::string> TerminalArgv(const std::string& terminal, const std::string& title,
                                      const std::vector<std::string>& command) {
  const std::string name = std::filesystem::path(terminal).filename().string();
  std::vector<std::string> argv{terminal};
  if (name == "gnome-terminal") {
    argv.insert(argv.end(), {"--wait", "--title", title, "--"});
  } else if (name == "konsole") {
    argv.insert(argv.end(), {"--nofork", "-p", "tabtitle=" + title, "-e"});
  } else if (name == "xfce4-terminal") {
    argv.insert(argv.end(), {"--disable-server", "-T", title, "-x"});
  } else if (name == "xterm" || name == "uxterm" || name == "lxterm" ||
             name == "x-terminal-emulator") {
    argv.insert(argv.end(), {"-T", title, "-e"});
  } else {
    argv.push_back("-e");
  }
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

// The temporary folder, as the C library's tmpfile() rules have it: $TMPDIR when set, else /tmp.
std::string TempFolder() {
  const char* chosen = std::getenv("TMPDIR");
  return chosen != nullptr && *chosen != '\0' ? chosen : "/tmp";
}

std::string Reason(int error) {
  return std::system_category().message(error);
}

// A FIFO in a fresh private folder, open for reading without blocking; removed on destruction.
// Failure() tells why there is none.
class ReportFifo {
 public:
  ReportFifo() {
    const std::string temp = TempFolder();
    RemoveStaleRunFolders(temp);
    folder_ = MakeRunFolder(temp, lock_);
    if (folder_.empty()) {
      const int error = errno;
      failure_ = "The temporary folder " + temp + " cannot be used: " + Reason(error);
      return;
    }
    path_ = folder_ + "/status";
    if (mkfifo(path_.c_str(), 0600) == 0)
      fd_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      const int error = errno;
      failure_ = "No report channel can be made in " + folder_ + ": " + Reason(error);
    }
  }
  ~ReportFifo() {
    if (fd_ >= 0) close(fd_);
    RemoveNames();
  }
  ReportFifo(const ReportFifo&) = delete;
  ReportFifo& operator=(const ReportFifo&) = delete;

  const std::string& Failure() const { return failure_; }
  int Fd() const { return fd_; }
  const std::string& Path() const { return path_; }

  // The FIFO and its folder go; the open ends stay. The folder's lock goes with its name.
  void RemoveNames() {
    if (!path_.empty()) unlink(path_.c_str());
    if (!folder_.empty()) rmdir(folder_.c_str());
    path_.clear();
    folder_.clear();
    lock_ = platform::Fd();
  }

 private:
  std::string folder_;
  platform::Fd lock_;  // holds the folder's lock while it has its name (run_folder.h)
  std::string path_;
  std::string failure_;
  int fd_ = -1;
};

// kNoReport: no report channel, which any console would lack as well.
enum class Ending { kExited, kNotStarted, kNoConsole, kNoReport };
struct RunOutcome {
  Ending ending;
  int exit_code;
  std::string failure = {};  // why there was no console
};

void ReadAvailable(int fd, std::string& received) {
  char buffer[256];
  ssize_t count = 0;
  while ((count = read(fd, buffer, sizeof buffer)) > 0)
    received.append(buffer, static_cast<std::size_t>(count));
}

RunOutcome OutcomeOfReport(const std::string& received) {
  if (received.find("not-started\n") != std::string::npos) return {Ending::kNotStarted, -1};
  const std::size_t exit_at = received.find("exit ");
  if (exit_at == std::string::npos) return {Ending::kExited, kKilledWithoutReport};
  return {Ending::kExited, std::atoi(received.c_str() + exit_at + 5)};
}

// Follows one run: the console process `console` and korvu-cmd's report.
class RunWatch {
 public:
  RunWatch(ReportFifo& fifo, pid_t console) : fifo_(fifo), console_(console) {}

  RunOutcome Await() {
    for (;;) {
      pollfd watched{fifo_.Fd(), POLLIN, 0};
      // Until korvu-cmd reports, the console process is looked at now and then.
      if (poll(&watched, 1, Started() ? -1 : 100) < 0 && errno != EINTR) break;
      ReadAvailable(fifo_.Fd(), received_);
      // korvu-cmd holds its end from before "started" to its own end.
      if (Started()) fifo_.RemoveNames();
      if (watched.revents & (POLLHUP | POLLERR)) break;
      if (!Started() && ConsoleFailed()) return {Ending::kNoConsole, -1, ConsoleFailure()};
    }
    ReadAvailable(fifo_.Fd(), received_);
    while (!console_ended_ && waitpid(console_, nullptr, 0) < 0 && errno == EINTR) {
    }
    // A writer that left without "started" was killed before it could say anything.
    if (!Started()) return {Ending::kNoConsole, -1, "korvu-cmd ended before it started"};
    return OutcomeOfReport(received_);
  }

 private:
  bool Started() const { return received_.rfind("started\n", 0) == 0; }

  std::string ConsoleFailure() const {
    if (succeeded_) return "the console did not start korvu-cmd";
    return "the console ended at once (exit status " + std::to_string(status_) + ")";
  }

  // True once the console process has ended without korvu-cmd having reported, and either ended
  // with failure or had its time to hand over.
  bool ConsoleFailed() {
    if (!console_ended_) {
      int status = 0;
      if (waitpid(console_, &status, WNOHANG) != console_) return false;
      console_ended_ = true;
      ended_at_ = std::chrono::steady_clock::now();
      succeeded_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      ReadAvailable(fifo_.Fd(), received_);
      if (Started()) return false;
    }
    return !succeeded_ || std::chrono::steady_clock::now() - ended_at_ > kHandOverTime;
  }

  ReportFifo& fifo_;
  pid_t console_;
  std::string received_;
  bool console_ended_ = false;
  bool succeeded_ = false;
  int status_ = 0;
  std::chrono::steady_clock::time_point ended_at_;
};

// Runs korvu-cmd on `line` in the emulator `terminal`, or in the caller's terminal without one.
RunOutcome RunInConsole(const std::optional<std::string>& terminal, const std::string& interpreter,
                        const std::string& line) {
  ReportFifo fifo;
  if (!fifo.Failure().empty()) return {Ending::kNoReport, -1, fifo.Failure()};
  std::error_code error;
  const std::string folder = std::filesystem::current_path(error).string();
  std::vector<std::string> argv{interpreter, "--report-to", fifo.Path()};
  if (!error) argv.insert(argv.end(), {"--folder", folder});
  argv.insert(argv.end(), {"--command-line", line});
  if (terminal) argv = TerminalArgv(*terminal, line, argv);
  // An emulator is a console of its own: signals from the caller's terminal must not reach it.
  pid_t console = -1;
  if (const int start_error = StartProcess(argv[0], argv, terminal.has_value(), console))
    return {Ending::kNoConsole, -1, argv[0] + " cannot be started: " + Reason(start_error)};
  return RunWatch(fifo, console).Await();
}

}  // namespace

ExecResult RunInNewConsole(const std::string& command_line, std::uint16_t /*show_mode*/) {
  const std::optional<std::string> interpreter = FindInterpreter();
  if (!interpreter)
    return {-1, "korvu-cmd, which runs the job script, is neither beside Korvu nor on PATH"};
  const std::string line = CutCommandLine(command_line);
  std::string console_failure = "No terminal emulator was found ($TERMINAL, xterm and others)";
  if (const std::optional<std::string> terminal = FindTerminal()) {
    const RunOutcome outcome = RunInConsole(terminal, *interpreter, line);
    if (outcome.ending == Ending::kNoReport) return {-1, outcome.failure};
    if (outcome.ending != Ending::kNoConsole) return outcome.exit_code;
    console_failure = *terminal + ": " + outcome.failure;
  }
  if (!isatty(STDIN_FILENO))
    return {-1, console_failure + ", and Korvu has no terminal of its own"};
  const RunOutcome outcome = RunInConsole(std::nullopt, *interpreter, line);
  if (outcome.ending == Ending::kNoConsole || outcome.ending == Ending::kNoReport)
    return {-1, outcome.failure};
  return outcome.exit_code;
}

int ExecAndWait(const std::string& command_line, std::uint16_t show_mode) {
  return RunInNewConsole(command_line, show_mode).exit_code;
}

}  // namespace korvu::platform
