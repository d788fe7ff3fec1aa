#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace korvu::app {

// Runs `handler`; a job::Error (or any other exception) that leaves it goes to the error report and
// the event loop goes on: an exception must never leave an event handler (a Qt slot, a window
// procedure).
void Guarded(const std::function<void()>& handler);

// Hands `message` to the error report, as an error leaving a handler would reach it.
void Report(std::string_view message);

// The application's one error report; the program sets it once (a modal message box); until then
// errors are written to stderr. Tests may set their own.
using ErrorReport = std::function<void(const std::string& message)>;
void SetErrorReport(ErrorReport report);

}  // namespace korvu::app
