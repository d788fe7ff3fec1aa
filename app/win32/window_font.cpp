#include "app/win32/window_font.h"

#include <string>

namespace korvu::app::win32 {

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

WindowFonts::~WindowFonts() {
  for (const auto& [pixels, font] : fonts_) DeleteObject(font);
}

HFONT WindowFonts::Font(int pixels) {
  for (const auto& [size, font] : fonts_)
    if (size == pixels) return font;
  const std::string family(form::kFontFamily);
  HFONT font = CreateFontA(-MulDiv(pixels, dpi_, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, family.c_str());
  fonts_.emplace_back(pixels, font);
  return font;
}

Rect WindowFonts::Scaled(const form::Box& box) const {
  return {MulDiv(box.left, dpi_, 96), MulDiv(box.top, dpi_, 96), MulDiv(box.width, dpi_, 96),
          MulDiv(box.height, dpi_, 96)};
}

void WindowFonts::Rescale(HWND window, int dpi, const RECT& suggested) {
  const int old_dpi = dpi_;
  dpi_ = dpi;
  std::vector<std::pair<int, HFONT>> old_fonts;
  old_fonts.swap(fonts_);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT box{};
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    for (const auto& [pixels, old] : old_fonts)
      if (old == font)
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font(pixels)), TRUE);
    SetWindowPos(child, nullptr, MulDiv(box.left, dpi, old_dpi), MulDiv(box.top, dpi, old_dpi),
                 MulDiv(box.right - box.left, dpi, old_dpi),
                 MulDiv(box.bottom - box.top, dpi, old_dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (const auto& [pixels, old] : old_fonts) DeleteObject(old);
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace korvu::app::win32
