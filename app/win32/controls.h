#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/form/window_description.h"

namespace korvu::app::win32 {

class WindowFonts;

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

// A top-level window of a class of its own, its client area of the size given, centred in the
// work area; `creator` reaches the window procedure with WM_NCCREATE.
struct TopWindow {
  const char* window_class = nullptr;
  WNDPROC procedure = nullptr;
  HICON icon = nullptr;
  HICON small_icon = nullptr;
  DWORD style = 0;
  DWORD ex_style = 0;
  std::string_view title;
  Rect client;
};
HWND CreateCentredWindow(const TopWindow& window, void* creator);

// A surface in memory of the screen's colours, filled with `background`, to draw on and see where
// the ink went. (On a black and white one, glyphs are hinted narrower than the controls draw them.)
class Canvas {
 public:
  Canvas(int width, int height, COLORREF background);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return dc_; }
  // The last column and row that show anything but the background; -1 where nothing was drawn.
  POINT InkEnd() const;

 private:
  int width_, height_;
  DWORD background_ = 0;
  HDC dc_;
  HBITMAP surface_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  DWORD* pixels_ = nullptr;
};

// The box that `text` takes drawn on one line in `font`, in pixels: the larger of what the drawing
// call works out for it (the font's full height, its descenders included) and where its ink ends
// when drawn, with a blank pixel after. Measured in memory, without a trip to the system's window
// manager.
SIZE TextSize(HFONT font, std::string_view text);
inline int TextWidth(HFONT font, std::string_view text) {
  return static_cast<int>(TextSize(font, text).cx);
}

// The width of a box `width` wide whose caption needs `needed` pixels: as wide as the caption, as
// far as `room` allows, never narrower than it is. A font a little wider than the layout's, or a
// denser screen, must not cut a caption.
int FittedWidth(int needed, int width, int room);
// Widens `control`, made already, to the fitted width of a caption that needs `needed` pixels.
// A list's height is that of its open list: `height` keeps it.
void GrowToFit(HWND control, int needed, int room, int height = 0);

// The width a check box needs for `caption` in `font`: the box as wide as a menu's check mark,
// half a character's gap, the caption as drawn. (A three-state box does not tell its ideal size
// everywhere.)
int CheckBoxWidthNeeded(HFONT font, std::string_view caption);
// The width a made drop-down list needs for its longest entry in its font, with the edit's margins
// beside the list's button and frame.
int ListWidthNeeded(HWND list);

// A label's box at the window's density: as wide as its caption as drawn in the window's font, as
// far as the room beside it allows, and as high as the font needs. A font a little wider than the
// one the layout was made with must neither wrap the caption out of sight, cut its last letter or
// its descenders, nor paint it over its neighbour. Measured before the label is made: one made
// and then widened costs a second trip to the system.
Rect FittedLabelBox(const form::Label& label, WindowFonts& fonts);
// A control's box at the window's density; a check box as wide as its caption needs, as far as
// the room beside it allows, as labels are.
Rect FittedBox(const form::Control& row, WindowFonts& fonts);
// A list, once made, grows to fit its longest entry (its frame, button and margins are its own);
// any other control keeps its box.
void FitEntries(HWND list, const form::Control& row, int dpi);

}  // namespace korvu::app::win32
