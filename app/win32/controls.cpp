#include "app/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/win32/window_font.h"

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

Canvas::Canvas(int width, int height, COLORREF background)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  surface_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (surface_ == nullptr) return;
  previous_ = SelectObject(dc_, surface_);
  pixels_ = static_cast<DWORD*>(bits);
  // The pixels are blue, green, red from the lowest byte on.
  background_ = GetBValue(background) | GetGValue(background) << 8 | GetRValue(background) << 16;
  std::fill_n(pixels_, static_cast<std::size_t>(width_) * height_, background_);
}

Canvas::~Canvas() {
  if (previous_ != nullptr) SelectObject(dc_, previous_);
  if (surface_ != nullptr) DeleteObject(surface_);
  DeleteDC(dc_);
}

POINT Canvas::InkEnd() const {
  POINT end{-1, -1};
  GdiFlush();
  for (int y = 0; pixels_ != nullptr && y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if ((pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xffffffu) != background_)
        end = {std::max<LONG>(end.x, x), std::max<LONG>(end.y, y)};
  return end;
}

// Wine draws some sizes of its fonts up to a few pixels wider than it measures them (14 pixel
// Tahoma, at 120 dots per inch), so the caption is drawn once in memory to see where its ink ends.
SIZE TextSize(HFONT font, std::string_view text) {
  constexpr UINT kLine = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;
  static HDC dc = CreateCompatibleDC(nullptr);  // kept for the program's life
  const int length = static_cast<int>(text.size());
  HGDIOBJ previous = SelectObject(dc, font);
  RECT measured{};
  DrawTextA(dc, text.data(), length, &measured, kLine | DT_CALCRECT);
  SelectObject(dc, previous);
  // With room for ink well past the measure.
  Canvas canvas(2 * measured.right + measured.bottom, 2 * measured.bottom, RGB(255, 255, 255));
  SelectObject(canvas.Dc(), font);
  SetBkMode(canvas.Dc(), TRANSPARENT);
  RECT all{0, 0, 2 * measured.right + measured.bottom, 2 * measured.bottom};
  DrawTextA(canvas.Dc(), text.data(), length, &all, kLine);
  const POINT ink = canvas.InkEnd();
  // A blank pixel after the ink: a letter whose ink reaches a control's edge may be cut there.
  return {std::max(measured.right, ink.x + 2), std::max(measured.bottom, ink.y + 2)};
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

Rect FittedLabelBox(const form::Label& label, WindowFonts& fonts) {
  Rect box = fonts.Scaled(label.box);
  const SIZE needed = TextSize(fonts.Font(), label.caption);
  box.width = FittedWidth(static_cast<int>(needed.cx), box.width,
                          MulDiv(form::RoomBeside(label.box), fonts.Dpi(), 96));
  box.height = std::max(box.height, static_cast<int>(needed.cy));
  return box;
}

Rect FittedBox(const form::Control& row, WindowFonts& fonts) {
  Rect box = fonts.Scaled(row.box);
  if (row.kind == form::Kind::kCheckBox)
    box.width = FittedWidth(CheckBoxWidthNeeded(fonts.Font(row.font_pixels), row.caption),
                            box.width, MulDiv(form::RoomBeside(row.box), fonts.Dpi(), 96));
  return box;
}

void FitEntries(HWND list, const form::Control& row, int dpi) {
  if (row.kind != form::Kind::kEditableList && row.kind != form::Kind::kFixedList &&
      row.kind != form::Kind::kFreeTextList)
    return;
  RECT open{}, shut{};  // the height of a list is that of the list opened
  SendMessageA(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open));
  GetWindowRect(list, &shut);
  GrowToFit(list, ListWidthNeeded(list), MulDiv(form::RoomBeside(row.box), dpi, 96),
            std::max(open.bottom, shut.bottom) - shut.top);
}

}  // namespace korvu::app::win32
