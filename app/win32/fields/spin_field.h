#pragma once

#include "app/win32/controls.h"
#include "app/win32/fields/field.h"
#include "job/spin_edit.h"

namespace korvu::app::win32 {

// A bounded whole number in an edit with an up-down strip inside its right end. The text always
// shows the value: a typed text is read and cropped at once, with the caret kept where it was.
// Arrow keys, the wheel (a step per notch) and the strip step by one; the strip repeats while
// held.
class SpinField : public Field {
 public:
  SpinField(job::BoundedInt& value, HWND parent, const Rect& box, HFONT font, int dpi);

  void Command(HWND from, WORD code) override;
  LRESULT Notify(const NMHDR& header) override;

 protected:
  LRESULT Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void ShowValue();
  void Show(const job::SpinText& shown);
  void TakeText();
  void Step(int by);

  job::BoundedInt& value_;
  job::SpinEdit edit_;
  HWND arrows_ = nullptr;
};

}  // namespace korvu::app::win32
