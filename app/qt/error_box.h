#pragma once

#include <string>

namespace korvu::app {

// The application's error report: a modal message box over the active window with the
// application's title as caption, the stop icon, the message with the full-stop rule, and OK.
void ShowErrorBox(const std::string& message);

}  // namespace korvu::app
