#include "cmd/system_host.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "cmd/ascii.h"
#include "cmd/program_search.h"
#include "cmd/terminal_key.h"

extern char** environ;

namespace korvu::cmd {

std::optional<std::string> EnvironmentVariable(std::string_view name) {
  if (name.empty()) return std::nullopt;
  const std::string exact(name);
  if (const char* value = std::getenv(exact.c_str())) return std::string(value);
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view pair(*entry);
    const std::size_t equals = pair.find('=');
    if (equals != std::string_view::npos && EqualsIgnoringCase(pair.substr(0, equals), name))
      return std::string(pair.substr(equals + 1));
  }
  return std::nullopt;
}

namespace {

// A second korvu-cmd for a batch script: "--" first, so that a script named "-x.bat" is no option,
// then the script and its parameters.
std::vector<std::string> BatchArgv(const std::string& self, const ResolvedCommand& command) {
  std::vector<std::string> argv{self, "--", command.path};
  argv.insert(argv.end(), command.argv.begin() + 1, command.argv.end());
  return argv;
}

}  // namespace

SystemHost::SystemHost(std::string self) : self_(std::move(self)) {}

std::optional<std::string> SystemHost::Variable(std::string_view name) {
  return EnvironmentVariable(name);
}

// Every write is flushed, so that the output of started programs lands in order.
void SystemHost::Write(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void SystemHost::WriteError(std::string_view text) {
  std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

std::string SystemHost::CurrentFolder() {
  std::error_code error;
  return std::filesystem::current_path(error).string();
}

void SystemHost::Pause() {
  // The key mode goes on before the prompt shows, so that a key pressed at once is not lost.
  const SingleKeyMode key_mode(STDIN_FILENO);
  Write("Press any key to continue . . . ");
  key_mode.ReadKey();
  Write("\n");
}

int SystemHost::RunProgram(std::string_view command_line) {
  bool started = false;
  return RunCommandLine(
      command_line,
      [this](const ResolvedCommand& script) {
        return platform::SpawnAndWait(self_, BatchArgv(self_, script));
      },
      started);
}

int SystemHost::RunCommandLine(std::string_view command_line, const BatchRun& run_batch,
                               bool& started) {
  std::string program_word;
  const auto command =
      ResolveCommandLine(command_line, EnvironmentVariable("PATH").value_or(""), program_word);
  started = false;
  if (!command) {
    WriteError(NotRecognizedMessage(program_word));
    return kNotRecognizedErrorLevel;
  }
  const platform::SpawnResult result =
      command->batch ? run_batch(*command) : platform::SpawnAndWait(command->path, command->argv);
  if (!result.started) {
    WriteError("korvu-cmd: cannot start '" + command->path + "': " + std::strerror(result.error) +
               "\n");
    return kNotRecognizedErrorLevel;
  }
  started = true;
  return result.exit_code;
}

}  // namespace korvu::cmd
