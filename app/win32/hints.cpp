#include "app/win32/hints.h"

#include <commctrl.h>

namespace korvu::app::win32 {
namespace {

// The tool over the window's own box, for the disabled control.
constexpr UINT_PTR kBoxTool = 1;

TOOLINFOA Tool(HWND window, UINT_PTR id, const std::string& text) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = id;
  tool.lpszText = const_cast<char*>(text.c_str());  // the tip keeps a copy
  return tool;
}

}  // namespace

Hints::Hints(HWND window, int dpi)
    : window_(window),
      tips_(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                            GetModuleHandleA(nullptr), nullptr)) {
  SendMessageA(tips_, TTM_SETMAXTIPWIDTH, 0, MulDiv(400, dpi, 96));
  SendMessageA(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
}

void Hints::Add(HWND control, const std::string& text) {
  TOOLINFOA tool = Tool(window_, reinterpret_cast<UINT_PTR>(control), text);
  tool.uFlags = TTF_IDISHWND;
  SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Hints::AddShownWhenDisabled(HWND control, const Rect& box, const std::string& text) {
  Add(control, text);
  disabled_control_ = control;
  TOOLINFOA tool = Tool(window_, kBoxTool, text);
  tool.rect = {box.left, box.top, box.left + box.width, box.top + box.height};
  SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Hints::Change(HWND control, const std::string& text) {
  TOOLINFOA tool = Tool(window_, reinterpret_cast<UINT_PTR>(control), text);
  SendMessageA(tips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  if (control != disabled_control_) return;
  tool.uId = kBoxTool;
  SendMessageA(tips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Hints::Relay(const MSG& message) const {
  switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      SendMessageA(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
      break;
    default:
      break;
  }
}

}  // namespace korvu::app::win32
