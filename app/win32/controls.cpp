#include "app/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <span>
#include <string>

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

// Wine draws some sizes of its fonts up to a few pixels wider than it measures them (14 pixel
// Tahoma, at 120 dots per inch), so the caption is drawn once in memory to see where its ink ends.
SIZE TextSize(HFONT font, std::string_view text) {
  constexpr UINT kLine = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;
  static HDC dc = CreateCompatibleDC(nullptr);  // kept for the program's life
  HGDIOBJ previous_font = SelectObject(dc, font);
  const int length = static_cast<int>(text.size());
  RECT measured{};
  DrawTextA(dc, text.data(), length, &measured, kLine | DT_CALCRECT);
  // White, in the screen's colours (glyphs on a black and white surface are hinted narrower than
  // the controls draw them), with room for ink well past the measure.
  const int width = 2 * measured.right + measured.bottom, height = 2 * measured.bottom;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP surface = width > 0 && height > 0
                        ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                        : nullptr;
  int right = -1, bottom = -1;  // the last column and row with ink
  if (surface != nullptr) {
    HGDIOBJ previous_surface = SelectObject(dc, surface);
    const std::span pixels(static_cast<DWORD*>(bits), static_cast<std::size_t>(width) * height);
    std::ranges::fill(pixels, 0xffffffu);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT all{0, 0, width, height};
    DrawTextA(dc, text.data(), length, &all, kLine);
    GdiFlush();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if ((pixels[static_cast<std::size_t>(y) * width + x] & 0xffffffu) != 0xffffffu)
          right = std::max(right, x), bottom = std::max(bottom, y);
    SelectObject(dc, previous_surface);
    DeleteObject(surface);
  }
  SelectObject(dc, previous_font);
  // A blank pixel after the ink: a letter whose ink reaches a control's edge may be cut there.
  return {std::max(measured.right, static_cast<LONG>(right + 2)),
          std::max(measured.bottom, static_cast<LONG>(bottom + 2))};
}

int FittedWidth(int needed, int width, int room) {
  return needed <= width ? width : std::min(needed, std::max(room, width));
}

void GrowToFit(HWND control, int needed, int room, int height) {
  RECT box{};
  GetWindowRect(control, &box);
  const int width = box.right - box.left;
  if (needed <= width) return;
  SetWindowPos(control, nullptr, 0, 0, FittedWidth(needed, width, room),
               height > 0 ? height : box.bottom - box.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

}  // namespace

int CheckBoxWidthNeeded(HFONT font, std::string_view caption) {
  return GetSystemMetrics(SM_CXMENUCHECK) + TextWidth(font, "n") + TextWidth(font, caption);
}

int ListWidthNeeded(HWND list) {
  int longest = 0;
  const auto count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  std::string entry;
  for (LRESULT i = 0; i < count; ++i) {
    entry.assign(static_cast<std::size_t>(SendMessageA(list, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
    longest = std::max(longest, TextWidth(FontOf(list), entry.c_str()));
  }
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  GetComboBoxInfo(list, &parts);
  RECT box{};
  GetWindowRect(list, &box);
  // What the list keeps for its frame and button, and the edit's margins (a fixed list's
  // selection field keeps a few pixels likewise).
  const int around = (box.right - box.left) - (parts.rcItem.right - parts.rcItem.left);
  const auto margins = parts.hwndItem != nullptr && parts.hwndItem != list
                           ? SendMessageA(parts.hwndItem, EM_GETMARGINS, 0, 0)
                           : 0;
  const int inside = margins != 0 ? LOWORD(margins) + HIWORD(margins) : 4;
  return longest + around + inside + 2;  // the caret's pixel and one more
}

}  // namespace korvu::app::win32
