#include "platform/exec_and_wait.h"

#include "platform/win32/exec_and_wait_pumped.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace korvu::platform {
namespace {

// Runs the command line and waits with `wait` for the process handle to be signalled.
int Run(const std::string& command_line, std::uint16_t show_mode,
        const std::function<void(HANDLE process)>& wait) {
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
  wait(process_info.hProcess);
  DWORD exit_code = 0;
  GetExitCodeProcess(process_info.hProcess, &exit_code);
  CloseHandle(process_info.hProcess);
  CloseHandle(process_info.hThread);
  return static_cast<int>(exit_code);
}

}  // namespace

int ExecAndWait(const std::string& command_line, std::uint16_t show_mode) {
  return Run(command_line, show_mode,
             [](HANDLE process) { WaitForSingleObject(process, INFINITE); });
}

int ExecAndWaitPumped(const std::string& command_line, std::uint16_t show_mode,
                      const std::function<void()>& pump) {
  return Run(command_line, show_mode, [&pump](HANDLE process) {
    while (MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1)
      pump();
  });
}

}  // namespace korvu::platform
