#include "app/win32/wait_without_input.h"

namespace korvu::app::win32 {
namespace {

bool IsInput(const MSG& message) {
  return (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
         (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
}

void PumpWithoutInput(HWND window) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop, after the run
      return;
    }
    if (IsInput(message) && (message.hwnd == window || IsChild(window, message.hwnd))) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

int WaitWithoutInput(HWND window,
                     const std::function<int(const form::WindowPlatform::Pump&)>& work) {
  return work([window] { PumpWithoutInput(window); });
}

}  // namespace korvu::app::win32
