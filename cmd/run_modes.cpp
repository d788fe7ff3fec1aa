#include "cmd/run_modes.h"

#include <utility>

#include "cmd/interpreter.h"
#include "cmd/script_file.h"
#include "cmd/system_host.h"
#include "platform/script_hold.h"

namespace korvu::cmd {

int RunScriptFile(const std::string& script, const std::string& self,
                  const std::vector<std::string>& parameters) {
  SystemHost host(self);
  // The script is held while it runs, beside the hold of the Korvu that wrote it: a second Korvu
  // of the installation cannot rewrite it, nor start, until this run has ended, also when the
  // first Korvu is gone by then.
  platform::ScriptHold hold;
  if (!hold.Share(script)) {
    host.WriteError(
        "The process cannot access the file because it is being used by another process.\n");
    return 1;
  }
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
  const auto run_here = [&self](const ResolvedCommand& script) {
    const std::vector<std::string> parameters(script.argv.begin() + 1, script.argv.end());
    return platform::SpawnResult{true, 0, RunScriptFile(script.path, self, parameters)};
  };
  return host.RunCommandLine(command_line, run_here, started);
}

}  // namespace korvu::cmd
