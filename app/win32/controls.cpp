#include "app/win32/controls.h"

#include <algorithm>

namespace korvu::app::win32 {

HWND CreateCentredWindow(const TopWindow& window, void* creator) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = window.procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = window.window_class;
  window_class.hIcon = window.icon;
  window_class.hIconSm = window.small_icon;
  RegisterClassExA(&window_class);

  RECT frame{0, 0, window.client.width, window.client.height};
  AdjustWindowRectEx(&frame, window.style, FALSE, window.ex_style);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const std::string title(window.title);
  return CreateWindowExA(window.ex_style, window.window_class, title.c_str(), window.style,
                         work.left + (work.right - work.left - width) / 2,
                         work.top + (work.bottom - work.top - height) / 2, width, height, nullptr,
                         nullptr, GetModuleHandleA(nullptr), creator);
}

int TextWidth(HWND window, HFONT font, std::string_view text) {
  HDC dc = GetDC(window);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return static_cast<int>(size.cx);
}

int FittedWidth(int needed, int width, int room) {
  return needed <= width ? width : std::min(needed, std::max(room, width));
}

void GrowToFit(HWND control, int needed, int room) {
  RECT box{};
  GetWindowRect(control, &box);
  const int width = box.right - box.left;
  if (needed <= width) return;
  SetWindowPos(control, nullptr, 0, 0, FittedWidth(needed, width, room), box.bottom - box.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace korvu::app::win32
