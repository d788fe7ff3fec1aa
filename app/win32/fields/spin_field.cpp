#include "app/win32/fields/spin_field.h"

#include <algorithm>

#include "app/form/guard.h"
#include "app/win32/win32_text.h"

namespace korvu::app::win32 {
namespace {

// The strip keeps no value of its own: it sits in the middle of a range and only reports steps.
constexpr int kStripMiddle = 50;
// The strip is as wide as the system's vertical scroll bar, but at most this (at 96 dots per inch).
constexpr int kMostStripWidth = 15;
static_assert(job::SpinEdit::kNotch == WHEEL_DELTA);

}  // namespace

SpinField::SpinField(job::BoundedInt& value, HWND parent, const Rect& box, HFONT font, int dpi)
    : value_(value), edit_(value) {
  Add(CreateChild(parent, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL | WS_CLIPSIBLINGS, box, font, {},
                  WS_EX_CLIENTEDGE));
  // The strip is the edit's sibling laid over the right end of its text area, above it, so that
  // the field keeps its box (a strip aligned to its buddy would take its width from the edit's).
  RECT inside{};
  GetClientRect(Handle(), &inside);
  MapWindowPoints(Handle(), parent, reinterpret_cast<POINT*>(&inside), 2);
  // The system's metrics are those of the density the window starts on.
  const int width = std::min(GetSystemMetrics(SM_CXVSCROLL), MulDiv(kMostStripWidth, dpi, 96));
  arrows_ = CreateChild(parent, UPDOWN_CLASSA, UDS_NOTHOUSANDS, {}, font);
  // Placed once made: the strip takes a width of its own choosing at its creation.
  SetWindowPos(arrows_, HWND_TOP, inside.right - width, inside.top, width,
               inside.bottom - inside.top, 0);
  SendMessageA(arrows_, UDM_SETRANGE32, 0, 2 * kStripMiddle);
  SendMessageA(arrows_, UDM_SETPOS32, 0, kStripMiddle);
  UDACCEL one_step{0, 1};  // no acceleration: one step per repeat
  SendMessageA(arrows_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&one_step));
  Add(arrows_);
  // The few pixels left beside the strip are the text's: the font's own margins would scroll
  // the digits out of sight.
  SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, width));
  Subclass(Handle());
  binding_.Follow(value_, [this] { ShowValue(); });
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
    case WM_MOUSEWHEEL:
      Guarded([&] { edit_.Wheel(GET_WHEEL_DELTA_WPARAM(wparam)); });
      return 0;
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
  Show(edit_.Shown(EditSelection(Handle()).start));
}

void SpinField::Show(const job::SpinText& shown) {
  if (binding_.ShowText(WindowText(Handle()), shown.text,
                        [this](const std::string& text) { SetControlText(Handle(), text); }))
    SelectInEdit(Handle(), shown.caret, shown.caret);
}

void SpinField::TakeText() {
  const std::size_t caret = EditSelection(Handle()).start;
  binding_.Take([this] { edit_.Type(WindowText(Handle())); }, [&] { Show(edit_.Shown(caret)); });
}

void SpinField::Step(int by) {
  Guarded([&] { edit_.Step(by); });
}

}  // namespace korvu::app::win32
