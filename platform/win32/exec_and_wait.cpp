#include "platform/exec_and_wait.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace korvu::platform {

int ExecAndWait(const std::string& command_line, std::uint16_t show_mode) {
  // CreateProcessA may write into the command line, so it gets a copy of its own; the line is cut
  // at 511 characters to fit.
  char buffer[512] = {};
  const std::size_t length = std::min(command_line.size(), sizeof buffer - 1);
  std::memcpy(buffer, command_line.data(), length);

  STARTUPINFOA startup_info;
  std::memset(&startup_info, 0, sizeof startup_info);
  startup_info.cb = sizeof startup_info;
  startup_info.dwFlags = STARTF_USESHOWWINDOW;
  startup_info.wShowWindow = show_mode;
  PROCESS_INFORMATION process_info;
  std::memset(&process_info, 0, sizeof process_info);

  if (!CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE,
                      CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup_info,
                      &process_info))
    return -1;
  WaitForSingleObject(process_info.hProcess, INFINITE);
  DWORD exit_code = 0;
  GetExitCodeProcess(process_info.hProcess, &exit_code);
  CloseHandle(process_info.hProcess);
  CloseHandle(process_info.hThread);
  return static_cast<int>(exit_code);
}

}  // namespace korvu::platform
