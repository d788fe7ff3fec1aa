#pragma once

#include <windows.h>

#include <vector>

namespace korvu::app::win32 {

// The window's colours beyond the system's: the labels of the values a job cannot do without in
// maroon, the preview in the tool-tip colours.
class WindowStyle {
 public:
  void SetPreview(HWND preview) { preview_ = preview; }
  void AddMaroonLabel(HWND label) { maroon_labels_.push_back(label); }

  // The answer to WM_CTLCOLORSTATIC for `control` of `window`.
  LRESULT ControlColour(HWND window, HDC dc, HWND control) const;

 private:
  HWND preview_ = nullptr;
  std::vector<HWND> maroon_labels_;
};

}  // namespace korvu::app::win32
