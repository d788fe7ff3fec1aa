#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace korvu::app::win32 {

// A box on the screen, in pixels of the window's current density.
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

// A child control of `parent` at `box`, with the window's font.
inline HWND CreateChild(HWND parent, const char* window_class, DWORD style, const Rect& box,
                        HFONT font, std::string_view text = {}, DWORD ex_style = 0, int id = 0) {
  const std::string caption(text);
  HWND child = CreateWindowExA(
      ex_style, window_class, caption.c_str(), WS_CHILD | WS_VISIBLE | style, box.left, box.top,
      box.width, box.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

}  // namespace korvu::app::win32
