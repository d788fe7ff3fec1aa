#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace korvu::app::win32 {

// A control's text: the ANSI code page's bytes, as the job keeps its texts on Windows.
inline std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Not "SetWindowText": windows.h makes that name a macro for SetWindowTextA.
inline void SetControlText(HWND window, std::string_view text) {
  SetWindowTextA(window, std::string(text).c_str());
}

// An edit's selection, in characters from the start.
struct Selection {
  std::size_t start = 0, end = 0;
  bool Empty() const { return start == end; }
};

inline Selection EditSelection(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

inline void SelectInEdit(HWND edit, std::size_t start, std::size_t end) {
  SendMessageA(edit, EM_SETSEL, start, static_cast<LPARAM>(end));
}

}  // namespace korvu::app::win32
