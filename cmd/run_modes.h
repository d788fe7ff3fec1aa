#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvu::cmd {

// `korvu-cmd [--] SCRIPT [PARAMETER...]`: runs the batch script with its parameters (%1 onward);
// returns its last ERRORLEVEL, or 1 when the script cannot be read or a Korvu is writing it right
// now. The script is held for the run (platform::ScriptHold::Share). `self` is this program's
// executable (see SystemHost).
int RunScriptFile(const std::string& script, const std::string& self,
                  const std::vector<std::string>& parameters = {});

// `korvu-cmd --command-line LINE`: starts a command line the way a process-creation call does: a
// program word naming a batch script runs that script here; any other program is started with the
// rest of the line split into arguments by the Windows rules. No %-expansion and no operators: the
// line is not a script line. Returns the exit code; `started` tells whether anything ran.
int RunCommandLine(std::string_view command_line, const std::string& self, bool& started);

}  // namespace korvu::cmd
