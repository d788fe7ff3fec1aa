#pragma once

#include "app/win32/controls.h"
#include "app/win32/fields/field.h"
#include "job/number_edit.h"

namespace korvu::app::win32 {

// A number text in a right-aligned edit. While the user types, the text stays exactly as typed
// and only the characters the number rule lets in get in; it is validated into its canonical form
// when the field loses the focus to another control of the window, right after a paste, when the
// program writes the value, and once at creation. Escape returns to the last validated text and
// selects it all.
class NumberField : public Field {
 public:
  NumberField(job::NumberText& value, HWND parent, const Rect& box, HFONT font);

  void Command(HWND from, WORD code) override;

 protected:
  LRESULT Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  bool Accepts(char typed) const;
  void ShowValue();
  void TakeText();
  void Validate();
  void Revert();

  job::NumberText& value_;
  job::NumberEdit edit_;
};

}  // namespace korvu::app::win32
