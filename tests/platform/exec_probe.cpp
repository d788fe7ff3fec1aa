// korvu-exec-probe RESULT_FILE COMMAND_LINE: calls ExecAndWait the way the window does (show mode
// normal) and writes its result to RESULT_FILE, and on the next line why nothing started, so that
// tests can give it the environment, current folder and standard streams of their choice.

#include <fstream>

#include "platform/exec_and_wait.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const auto result = korvu::platform::RunInNewConsole(argv[2], korvu::platform::kShowNormal);
  std::ofstream(argv[1]) << result.exit_code << '\n' << result.failure;
  return 0;
}
