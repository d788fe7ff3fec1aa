#pragma once

#include "app/win32/controls.h"
#include "app/win32/fields/field.h"

namespace korvu::app::win32 {

// A check box bound to a three-state check or to a flag. A click moves grayed and unchecked to
// checked, and checked to unchecked: only the program grays the box.
class CheckField : public Field {
 public:
  CheckField(job::CheckBox& state, std::string_view caption, HWND parent, const Rect& box,
             HFONT font);
  CheckField(job::Flag& flag, std::string_view caption, HWND parent, const Rect& box, HFONT font);

  void Command(HWND from, WORD code) override;

 private:
  void Show();

  job::CheckBox* state_ = nullptr;  // one of the two is bound
  job::Flag* flag_ = nullptr;
};

}  // namespace korvu::app::win32
