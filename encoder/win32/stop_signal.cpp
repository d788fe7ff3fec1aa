#include "encoder/stop_signal.h"

#include <atomic>

#include <windows.h>

namespace korvu::enc {
namespace {

std::atomic<DWORD> stop_event{~DWORD{0}};

// Runs on a thread of its own. Ctrl+C and Ctrl+Break only ask; a closed console (or a logoff or
// shutdown) ends the process as soon as this returns, so it waits instead: the run notices the
// stop between two frames, cleans up and exits, which ends this thread with it. Windows allows
// a few seconds for that.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  DWORD none = ~DWORD{0};
  stop_event.compare_exchange_strong(none, event);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  Sleep(INFINITE);
  return TRUE;
}

}  // namespace

void CatchStopSignals() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

std::string StopReason() {
  switch (stop_event.load()) {
    case ~DWORD{0}:
      return {};
    case CTRL_C_EVENT:
      return "Ctrl+C";
    case CTRL_BREAK_EVENT:
      return "Ctrl+Break";
    case CTRL_CLOSE_EVENT:
      return "the console's closing";
    default:
      return "the end of the session";
  }
}

}  // namespace korvu::enc
