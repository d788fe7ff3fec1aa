#pragma once

#include <windows.h>

namespace korvu::app::win32 {

// Ends the program right after `window`'s first paint has reached the screen: the start-up
// benchmark's stopwatch, for the window and the bare window it is measured against. Timers come
// after every pending paint, the controls' too; the first one after the window's paint closes the
// window, before any work of its own (the activation's) runs.
inline void QuitAfterFirstPaint(HWND window) {
  static WNDPROC earlier = nullptr;
  static bool painted = false;
  static const auto procedure = [](HWND shown, UINT message, WPARAM wparam,
                                   LPARAM lparam) -> LRESULT {
    if (painted && message == WM_TIMER) {
      KillTimer(shown, wparam);
      DestroyWindow(shown);
      return 0;
    }
    const LRESULT result = CallWindowProcA(earlier, shown, message, wparam, lparam);
    if (message == WM_PAINT && !painted) {
      painted = true;
      SetTimer(shown, 1, 0, nullptr);
    }
    return result;
  };
  earlier = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(procedure))));
}

}  // namespace korvu::app::win32
