#pragma once

#include <windows.h>

#include <string>

namespace korvu::app::win32 {

// The application's error report: a modal message box owned by `owner` (the main window) with the
// application's title as caption, the stop icon, the message with the full-stop rule, and OK.
void ShowErrorBox(const std::string& message, HWND owner);

}  // namespace korvu::app::win32
