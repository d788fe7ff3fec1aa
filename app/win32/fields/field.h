#pragma once

#include <windows.h>
// after windows.h, which it builds on
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/form/binding.h"
#include "job/values.h"

namespace korvu::app::win32 {

// What every field on the native controls shares: its controls, the messages it takes from them
// (through a subclass of each), the notifications their parent hands on, and the job values it
// follows. The window owns its fields; the job outlives them.
class Field {
 public:
  Field() = default;
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;
  virtual ~Field();

  // The control that takes the focus and stands in the tab order.
  HWND Handle() const { return handle_; }
  // Whether `control` is one of this field's own (notifications from it come here).
  bool Owns(HWND control) const;
  // Every control of the field: enabled or disabled together.
  void Enable(bool enabled) const;
  // The controls a hint shows over.
  const std::vector<HWND>& Controls() const { return controls_; }

  // A WM_COMMAND notification (EN_CHANGE, CBN_SELCHANGE, BN_CLICKED, ...) from one of its controls.
  virtual void Command(HWND /*from*/, WORD /*code*/) {}
  // A WM_NOTIFY from one of its controls; the result goes back to the control.
  virtual LRESULT Notify(const NMHDR& /*header*/) { return 0; }

 protected:
  // A control of the field; the first one added is the field's handle.
  void Add(HWND control);
  // Routes the control's messages through Message.
  void Subclass(HWND control);
  virtual LRESULT Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam);
  // What the control does with a message by itself.
  static LRESULT Default(HWND control, UINT message, WPARAM wparam, LPARAM lparam);

  // The field's value on its control, and the user's edits of it.
  form::Binding binding_;

 private:
  struct Hook;
  static LRESULT CALLBACK HookProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam);

  HWND handle_ = nullptr;
  std::vector<HWND> controls_;
  std::vector<Hook*> hooks_;  // one per subclassed control still there
};

// Whether a typed character is a control character (Backspace, Ctrl+V, ...) rather than text.
inline bool IsControlCharacter(WPARAM character) {
  return character < 0x20 || character == 0x7F;
}

}  // namespace korvu::app::win32
