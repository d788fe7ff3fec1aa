#include "app/win32/fields/field.h"

#include <algorithm>

namespace korvu::app::win32 {

Field::~Field() {
  for (HWND control : subclassed_) RemoveWindowSubclass(control, SubclassProc, 0);
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
  SetWindowSubclass(control, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
  subclassed_.push_back(control);
}

LRESULT Field::Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  return Default(control, message, wparam, lparam);
}

LRESULT CALLBACK Field::SubclassProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR, DWORD_PTR field) {
  return reinterpret_cast<Field*>(field)->Message(control, message, wparam, lparam);
}

}  // namespace korvu::app::win32
