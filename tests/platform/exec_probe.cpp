// korvu-exec-probe RESULT_FILE COMMAND_LINE: calls ExecAndWait the way the window does (show mode
// normal) and writes its result to RESULT_FILE, so that tests can give it the environment,
// current folder and standard streams of their choice.

#include <fstream>

#include "platform/exec_and_wait.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const int result = korvu::platform::ExecAndWait(argv[2], korvu::platform::kShowNormal);
  std::ofstream(argv[1]) << result;
  return 0;
}
