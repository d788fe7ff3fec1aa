#include "app/win32/fields/field.h"

#include <algorithm>

namespace korvu::app::win32 {

// A control's subclass, found through the control's user data. Wine keeps that in the program's
// own memory, while the common controls' SetWindowSubclass keeps its chain in a window property,
// which costs a trip to the Wine server for every message (a thousand before the first frame).
struct Field::Hook {
  Field* field;     // none once the field has gone before its control
  WNDPROC earlier;  // the procedure the control had
};

Field::~Field() {
  for (Hook* hook : hooks_) hook->field = nullptr;
}

bool Field::Owns(HWND control) const {
  return std::find(controls_.begin(), controls_.end(), control) != controls_.end();
}

void Field::Enable(bool enabled) const {
  for (HWND control : controls_) EnableWindow(control, enabled);
}

void Field::Add(HWND control) {
  if (handle_ == nullptr) handle_ = control;
  controls_.push_back(control);
}

void Field::Subclass(HWND control) {
  auto* hook = new Hook{this, nullptr};
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hook));
  // The wide procedure, as SetWindowSubclass would: typed characters arrive as UTF-16.
  hook->earlier = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
  hooks_.push_back(hook);
}

LRESULT Field::Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  return Default(control, message, wparam, lparam);
}

LRESULT Field::Default(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto* hook = reinterpret_cast<const Hook*>(GetWindowLongPtrW(control, GWLP_USERDATA));
  return CallWindowProcW(hook->earlier, control, message, wparam, lparam);
}

LRESULT CALLBACK Field::HookProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* hook = reinterpret_cast<Hook*>(GetWindowLongPtrW(control, GWLP_USERDATA));
  if (message != WM_NCDESTROY) {
    return hook->field != nullptr
               ? hook->field->Message(control, message, wparam, lparam)
               : CallWindowProcW(hook->earlier, control, message, wparam, lparam);
  }
  // The control's last message: the hook goes with it.
  const LRESULT result = CallWindowProcW(hook->earlier, control, message, wparam, lparam);
  if (hook->field != nullptr) std::erase(hook->field->hooks_, hook);
  SetWindowLongPtrW(control, GWLP_USERDATA, 0);
  delete hook;
  return result;
}

}  // namespace korvu::app::win32
