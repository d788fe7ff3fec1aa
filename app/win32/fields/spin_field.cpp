#include "app/win32/fields/spin_field.h"

#include <optional>

#include "app/form/guard.h"
#include "app/win32/win32_text.h"

namespace korvu::app::win32 {
namespace {

// The strip keeps no value of its own: it sits in the middle of a range and only reports steps.
constexpr int kStripMiddle = 50;

}  // namespace

SpinField::SpinField(job::BoundedInt& value, HWND parent, const Rect& box, HFONT font)
    : value_(value) {
  Add(CreateChild(parent, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, box, font, {}, WS_EX_CLIENTEDGE));
  // Aligned to the right of its buddy, the strip takes its width from inside the edit's box.
  arrows_ = CreateChild(parent, UPDOWN_CLASSA, UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, {}, font);
  SendMessageA(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
  SendMessageA(arrows_, UDM_SETRANGE32, 0, 2 * kStripMiddle);
  SendMessageA(arrows_, UDM_SETPOS32, 0, kStripMiddle);
  UDACCEL one_step{0, 1};  // no acceleration: one step per repeat
  SendMessageA(arrows_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&one_step));
  Add(arrows_);
  // The few pixels left beside the strip are the text's: the font's own margins would scroll
  // the digits out of sight.
  SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
  Subclass(Handle());
  Follow(value_, [this] { ShowValue(); });
}

LRESULT SpinField::Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wparam == VK_UP || wparam == VK_DOWN) {
        Step(wparam == VK_UP ? 1 : -1);
        return 0;
      }
      break;
    case WM_CHAR:
      if (!IsControlCharacter(wparam) &&
          (wparam > 0x7F || !job::AcceptsSpinKey(static_cast<char>(wparam)))) {
        MessageBeep(MB_OK);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      wheel_ += GET_WHEEL_DELTA_WPARAM(wparam);
      const int notches = wheel_ / WHEEL_DELTA;
      wheel_ -= notches * WHEEL_DELTA;
      if (notches != 0) Step(notches);
      return 0;
    }
    case WM_KILLFOCUS:
      ShowValue();
      break;
    default:
      break;
  }
  return Default(control, message, wparam, lparam);
}

void SpinField::Command(HWND from, WORD code) {
  if (from == Handle() && code == EN_CHANGE) TakeText();
}

LRESULT SpinField::Notify(const NMHDR& header) {
  if (header.code != static_cast<UINT>(UDN_DELTAPOS)) return 0;
  if (GetFocus() != Handle()) SetFocus(Handle());
  Step(reinterpret_cast<const NMUPDOWN&>(header).iDelta > 0 ? 1 : -1);
  return 1;  // the strip's own position stays in the middle
}

void SpinField::ShowValue() {
  Show(job::ShownSpinText(value_, EditSelection(Handle()).start));
}

void SpinField::Show(const job::SpinText& shown) {
  if (WindowText(Handle()) == shown.text) return;
  Quietly([&] { SetControlText(Handle(), shown.text); });
  SelectInEdit(Handle(), shown.caret, shown.caret);
}

void SpinField::TakeText() {
  if (Quiet()) return;
  const std::string typed = WindowText(Handle());
  if (typed == value_.Text()) return;  // shown already
  const std::size_t caret = EditSelection(Handle()).start;
  std::optional<job::SpinText> shown;
  Guarded([&] { shown = job::ApplySpinText(typed, caret, value_); });
  // When a listener failed, the field still shows the value.
  Show(shown.value_or(job::ShownSpinText(value_, caret)));
}

void SpinField::Step(int by) {
  Guarded([&] { value_.SetValue(static_cast<std::int64_t>(value_.Value()) + by); });
}

}  // namespace korvu::app::win32
