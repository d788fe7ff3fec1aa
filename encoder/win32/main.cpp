#include <vector>

#include "encoder/command.h"
#include "encoder/win32/utf8.h"

// The wide entry point: Windows hands a narrow main its arguments in the ANSI code page, which
// cannot hold every file name.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(korvu::enc::Utf8(argv[i]));
  return korvu::enc::RunCommand(args);
}
