#include "job/spin_edit.h"

namespace korvu::job {

void SpinEdit::Wheel(int delta) {
  wheel_ += delta;
  const int notches = wheel_ / kNotch;
  wheel_ -= notches * kNotch;
  if (notches != 0) Step(notches);
}

}  // namespace korvu::job
