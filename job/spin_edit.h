#pragma once

#include <cstddef>
#include <string_view>

#include "job/spin_text.h"
#include "job/values.h"

namespace korvu::job {

// A spin field's editing of its bounded whole number: a typed text is read and cropped at once
// (007 shows 7, 9 above a maximum of 4 shows 4), the arrow keys, the arrow strip and the wheel
// step by one, and the field shows the value again when it is left. Each step may raise what the
// value's listeners raise; the field shows Shown() afterwards all the same.
class SpinEdit {
 public:
  // One notch of a mouse wheel, in the unit both window systems report turns in.
  static constexpr int kNotch = 120;

  explicit SpinEdit(BoundedInt& value) : value_(value) {}

  // A text the user has changed.
  void Type(std::string_view typed) {
    if (typed != value_.Text()) value_.SetValue(SpinReading(typed, value_.Min()));
  }
  void Step(int by) { value_.SetValue(static_cast<std::int64_t>(value_.Value()) + by); }
  // A turn of the wheel by `delta` (away from the user positive): a step per whole notch, the
  // rest kept for the next turn.
  void Wheel(int delta);
  // What the field shows: the value's text, with the caret kept at `caret`.
  SpinText Shown(std::size_t caret) const { return ShownSpinText(value_, caret); }

 private:
  BoundedInt& value_;
  int wheel_ = 0;  // a turn not yet a whole notch
};

}  // namespace korvu::job
