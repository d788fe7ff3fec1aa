#include "cmd/run_modes.h"

#include "cmd/interpreter.h"
#include "cmd/script_file.h"
#include "cmd/system_host.h"

namespace korvu::cmd {

int RunScriptFile(const std::string& script, const std::string& self) {
  SystemHost host(self);
  const std::optional<std::string> bytes = ReadWholeFile(script);
  if (!bytes) {
    host.WriteError("The system cannot find the batch file '" + script + "'.\n");
    return 1;
  }
  Interpreter interpreter(host, SplitScriptLines(*bytes), {script});
  return interpreter.Run();
}

int RunCommandLine(std::string_view command_line, const std::string& self, bool& started) {
  SystemHost host(self);
  const auto run_here = [&self](const std::string& script) {
    return platform::SpawnResult{true, 0, RunScriptFile(script, self)};
  };
  return host.RunCommandLine(command_line, run_here, started);
}

}  // namespace korvu::cmd
