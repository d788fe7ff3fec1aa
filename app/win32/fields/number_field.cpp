#include "app/win32/fields/number_field.h"

#include "app/form/guard.h"
#include "app/win32/win32_text.h"
#include "job/number_text.h"

namespace korvu::app::win32 {

NumberField::NumberField(job::NumberText& value, HWND parent, const Rect& box, HFONT font)
    : value_(value), edit_(value) {
  Add(CreateChild(parent, "EDIT", WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL, box, font, {},
                  WS_EX_CLIENTEDGE));
  Subclass(Handle());
  binding_.Follow(value_, [this] { ShowValue(); });
  Validate();
}

bool NumberField::Accepts(char typed) const {
  if (static_cast<unsigned char>(typed) > 0x7F) return false;
  const Selection selection = EditSelection(Handle());
  // Over a selection the typed character lands where the selection begins.
  return job::AcceptsNumberKey(typed, WindowText(Handle()), selection.start, !selection.Empty());
}

LRESULT NumberField::Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_GETDLGCODE:
      // Escape is the field's own, not the window's.
      if (const auto* msg = reinterpret_cast<const MSG*>(lparam);
          msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE)
        return Default(control, message, wparam, lparam) | DLGC_WANTMESSAGE;
      break;
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) {
        Revert();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == 0x1B) return 0;  // Escape, taken above
      if (!IsControlCharacter(wparam) && !Accepts(static_cast<char>(wparam)))
        return 0;  // dropped without a sound
      break;
    case WM_PASTE: {
      const LRESULT result = Default(control, message, wparam, lparam);
      Validate();
      return result;
    }
    case WM_KILLFOCUS: {
      // Another window taking over is no leaving of the field; another control of ours is.
      const auto next = reinterpret_cast<HWND>(wparam);
      if (next != nullptr && GetAncestor(next, GA_ROOT) == GetAncestor(control, GA_ROOT))
        Validate();
      break;
    }
    default:
      break;
  }
  return Default(control, message, wparam, lparam);
}

void NumberField::Command(HWND, WORD code) {
  if (code == EN_CHANGE) TakeText();
}

void NumberField::ShowValue() {
  binding_.ShowText(WindowText(Handle()), value_.Text(),
                    [this](const std::string& text) { SetControlText(Handle(), text); });
  Guarded([this] { edit_.ValueChanged(); });
}

void NumberField::TakeText() {
  binding_.Take([this] { edit_.Type(WindowText(Handle())); });
}

void NumberField::Validate() {
  Guarded([this] { edit_.Validate(); });
}

void NumberField::Revert() {
  Guarded([this] { edit_.Revert(); });
  SelectInEdit(Handle(), 0, static_cast<std::size_t>(-1));
}

}  // namespace korvu::app::win32
