#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "app/form/window_description.h"
#include "app/win32/controls.h"

namespace korvu::app::win32 {

// The density the window starts on, in dots per inch.
int SystemDpi();

// The window's typeface at the window's density: one font per height in pixels at 96 dots per
// inch, made on first use and kept as long as the window.
class WindowFonts {
 public:
  explicit WindowFonts(int dpi) : dpi_(dpi) {}
  ~WindowFonts();
  WindowFonts(const WindowFonts&) = delete;
  WindowFonts& operator=(const WindowFonts&) = delete;

  int Dpi() const { return dpi_; }
  HFONT Font(int pixels = form::kFontPixels);
  // A box of the layout at the window's density.
  Rect Scaled(const form::Box& box) const;
  // Every child of `window` keeps its place in the layout at the density `dpi`, and its font grows
  // with it; the window takes the box the system suggests.
  void Rescale(HWND window, int dpi, const RECT& suggested);

 private:
  int dpi_;
  std::vector<std::pair<int, HFONT>> fonts_;  // by height in pixels at 96 dots per inch
};

}  // namespace korvu::app::win32
