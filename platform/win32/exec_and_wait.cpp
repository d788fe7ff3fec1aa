#include "platform/exec_and_wait.h"

#include "platform/win32/exec_and_wait_pumped.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace korvu::platform {
namespace {

// The system's text for `code`, without its line end.
std::string SystemMessage(DWORD code) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(code) : message;
}

// Runs the command line and waits with `wait` for the process handle to be signalled.
ExecResult Run(const std::string& command_line, std::uint16_t show_mode,
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

  // Inheriting handles hands on a script's hold, the only handle made inheritable.
  if (!CreateProcessA(nullptr, buffer, nullptr, nullptr, TRUE,
                      CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup_info,
                      &process_info))
    return {-1, std::string(buffer) + " cannot be started: " + SystemMessage(GetLastError())};
  wait(process_info.hProcess);
  DWORD exit_code = 0;
  GetExitCodeProcess(process_info.hProcess, &exit_code);
  CloseHandle(process_info.hProcess);
  CloseHandle(process_info.hThread);
  return static_cast<int>(exit_code);
}

}  // namespace

ExecResult RunInNewConsole(const std::string& command_line, std::uint16_t show_mode) {
  return Run(command_line, show_mode,
             [](HANDLE process) { WaitForSingleObject(process, INFINITE); });
}

int ExecAndWait(const std::string& command_line, std::uint16_t show_mode) {
  return RunInNewConsole(command_line, show_mode).exit_code;
}

ExecResult ExecAndWaitPumped(const std::string& command_line, std::uint16_t show_mode,
                             const std::function<void()>& pump) {
  return Run(command_line, show_mode, [&pump](HANDLE process) {
    while (MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1)
      pump();
  });
}

}  // namespace korvu::platform
