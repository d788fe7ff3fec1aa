#include "app/win32/fields/preview_box.h"

#include "app/win32/win32_text.h"

namespace korvu::app::win32 {

PreviewBox::PreviewBox(HWND parent, const Rect& box, HFONT font) {
  Add(CreateChild(parent, "EDIT", WS_TABSTOP | ES_MULTILINE | ES_READONLY, box, font, {},
                  WS_EX_CLIENTEDGE));
  Subclass(Handle());
}

void PreviewBox::Show(const std::string& text) {
  if (WindowText(Handle()) != text) SetControlText(Handle(), text);
}

LRESULT PreviewBox::Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  const bool control_key = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  switch (message) {
    case WM_GETDLGCODE:
      // A multi-line edit asks for every key; this one leaves Tab, Return and Escape to the window.
      return Default(control, message, wparam, lparam) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    case WM_KEYDOWN:
      if (control_key && wparam == 'A') {
        SelectInEdit(control, 0, static_cast<std::size_t>(-1));
        return 0;
      }
      if (control_key && (wparam == 'C' || wparam == VK_INSERT)) {
        SendMessageA(control, WM_COPY, 0, 0);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == 0x01 || wparam == 0x03) return 0;  // Ctrl+A and Ctrl+C, taken above
      break;
    default:
      break;
  }
  return Default(control, message, wparam, lparam);
}

}  // namespace korvu::app::win32
