// korvu-cmd: runs the job script's batch language where the platform has no interpreter for it.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cmd/run_modes.h"
#include "cmd/status_report.h"
#include "platform/executable_path.h"

namespace {

constexpr char kUsage[] =
    "Usage: korvu-cmd SCRIPT [PARAMETER...]\n"
    "       korvu-cmd -- SCRIPT [PARAMETER...]\n"
    "       korvu-cmd [--report-to FIFO] [--folder FOLDER] --command-line LINE\n"
    "\n"
    "Runs a batch script (.bat, .cmd) the way the Windows command interpreter runs Korvu's\n"
    "two-pass job script: @, ECHO, PAUSE, REM, :labels, GOTO, IF [NOT] ERRORLEVEL n, %NAME%\n"
    "and %0 to %9 expansion, ^ escapes and program lines; the PARAMETERs are %1 onward. The\n"
    "second form starts one command line as a new process would (used by Korvu to run the script\n"
    "in a console); --folder changes into FOLDER first and --report-to tells the FIFO how the\n"
    "run went.\n";

struct Options {
  std::optional<std::string> script;
  std::vector<std::string> parameters;  // the script's %1 onward
  std::optional<std::string> command_line;
  std::optional<std::string> report_to;
  std::optional<std::string> folder;
};

// Nothing when the arguments make no sense: usage is shown then. The options end at "--" or at
// the first argument that is none; that one is the script, and all after it are its parameters.
std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") {
      ++i;
      break;
    }
    std::optional<std::string>* value = argument == "--command-line" ? &options.command_line
                                        : argument == "--report-to"  ? &options.report_to
                                        : argument == "--folder"     ? &options.folder
                                                                     : nullptr;
    if (value == nullptr && argument.substr(0, 2) != "--") break;
    if (value == nullptr || i + 1 == argc) return std::nullopt;
    *value = argv[++i];
  }
  if (i < argc) {
    options.script = argv[i];
    options.parameters.assign(argv + i + 1, argv + argc);
  }
  if (options.script.has_value() == options.command_line.has_value()) return std::nullopt;
  if (options.script && (options.report_to || options.folder)) return std::nullopt;
  return options;
}

int RunCommandLineReporting(const Options& options, const std::string& self) {
  if (options.report_to) korvu::cmd::status_report::Open(*options.report_to);
  if (options.folder && chdir(options.folder->c_str()) != 0) {
    std::fprintf(stderr, "korvu-cmd: cannot change to '%s': %s\n", options.folder->c_str(),
                 std::strerror(errno));
    korvu::cmd::status_report::NotStarted();
    return 1;
  }
  bool started = false;
  const int exit_code = korvu::cmd::RunCommandLine(*options.command_line, self, started);
  if (started) {
    korvu::cmd::status_report::Finished(exit_code);
  } else {
    korvu::cmd::status_report::NotStarted();
  }
  return exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    std::fputs(kUsage, stdout);
    return 1;
  }
  std::string self = korvu::platform::ExecutablePath();
  if (self.empty()) self = argv[0];
  if (options->script)
    return korvu::cmd::RunScriptFile(*options->script, self, options->parameters);
  return RunCommandLineReporting(*options, self);
}
