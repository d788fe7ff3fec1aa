#include "app/win32/window_style.h"

#include <algorithm>

#include "app/form/window_description.h"

namespace korvu::app::win32 {

LRESULT WindowStyle::ControlColour(HWND window, HDC dc, HWND control) const {
  if (control == preview_) {
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    SetBkColor(dc, GetSysColor(COLOR_INFOBK));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
  }
  const LRESULT brush = DefWindowProcA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control));
  if (std::find(maroon_labels_.begin(), maroon_labels_.end(), control) != maroon_labels_.end()) {
    constexpr unsigned kRgb = form::kMaroon;
    SetTextColor(dc, RGB((kRgb >> 16) & 0xFF, (kRgb >> 8) & 0xFF, kRgb & 0xFF));
  }
  return brush;
}

}  // namespace korvu::app::win32
