#pragma once

#include <windows.h>

#include <string>

#include "app/win32/controls.h"

namespace korvu::app::win32 {

// The window's hints: a tool tip per control, shown while the pointer rests on it, line breaks
// and all. The message loop relays the mouse messages to them: the common controls' own subclass
// for that keeps its chain in a window property, which Wine's server is asked for on every message
// of the control (hundreds before the window's first frame).
class Hints {
 public:
  Hints(HWND window, int dpi);

  void Add(HWND control, const std::string& text);
  // A hint for a control that may be disabled: a disabled control shows no hint of its own, so the
  // same hint is also shown over its box on the window.
  void AddShownWhenDisabled(HWND control, const Rect& box, const std::string& text);
  // A new text for the hints of `control` (both of one added as shown when disabled).
  void Change(HWND control, const std::string& text);
  // A message from the message loop: a mouse message tells the hints where the pointer is.
  void Relay(const MSG& message) const;

 private:
  HWND window_;
  HWND tips_;
  HWND disabled_control_ = nullptr;  // the control whose hint the window's box shows
};

}  // namespace korvu::app::win32
