#pragma once

#include <string>

class QWidget;

namespace korvu::app {

// The application's error report: a modal message box owned by and centred on `owner` (the main
// window; the active window when none is given) with the application's title as caption, the stop
// icon, the message with the full-stop rule, and OK. The box is at least wide enough for its
// caption.
void ShowErrorBox(const std::string& message, QWidget* owner = nullptr);

}  // namespace korvu::app
