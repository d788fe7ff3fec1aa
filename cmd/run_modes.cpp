#include "cmd/run_modes.h"

#include <cstring>
#include <utility>

#include "cmd/interpreter.h"
#include "cmd/program_search.h"
#include "cmd/script_file.h"
#include "cmd/spawn.h"
#include "cmd/system_host.h"

namespace korvu::cmd {

int RunScriptFile(const std::string& script, const std::string& self,
                  const std::vector<std::string>& parameters) {
  SystemHost host(self);
  const std::optional<std::string> bytes = ReadWholeFile(script);
  if (!bytes) {
    host.WriteError("The system cannot find the batch file '" + script + "'.\n");
    return 1;
  }
  std::vector<std::string> arguments{script};
  arguments.insert(arguments.end(), parameters.begin(), parameters.end());
  Interpreter interpreter(host, SplitScriptLines(*bytes), std::move(arguments));
  return interpreter.Run();
}

int RunCommandLine(std::string_view command_line, const std::string& self, bool& started) {
  SystemHost host(self);
  std::string program_word;
  const auto command =
      ResolveCommandLine(command_line, EnvironmentVariable("PATH").value_or(""), program_word);
  started = false;
  if (!command) {
    host.WriteError(NotRecognizedMessage(program_word));
    return kNotRecognizedErrorLevel;
  }
  if (command->batch) {
    started = true;
    return RunScriptFile(command->path, self, {command->argv.begin() + 1, command->argv.end()});
  }
  const SpawnResult result = SpawnAndWait(command->path, command->argv);
  if (!result.started) {
    host.WriteError("korvu-cmd: cannot start '" + command->path +
                    "': " + std::strerror(result.error) + "\n");
    return kNotRecognizedErrorLevel;
  }
  started = true;
  return result.exit_code;
}

}  // namespace korvu::cmd
