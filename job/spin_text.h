#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "job/values.h"

namespace korvu::job {

// Whether a spin field takes the key `c`: digits, "+" and "-" at any position, and control
// characters (editing keys); anything else is dropped with a beep.
bool AcceptsSpinKey(char c);

// What a spin field's text reads as: a decimal 32-bit whole number with an optional sign; `min`
// when it is no such number (a lone sign, a sign after a digit, beyond the 32-bit range, empty).
// Not clamped.
std::int64_t SpinReading(std::string_view text, int min);

// The spin field's text after a change: the value's text with the caret at the same character
// position, limited to the new length.
struct SpinText {
  std::string text;
  std::size_t caret = 0;
};

// The text of `value` with the caret kept at `caret`.
SpinText ShownSpinText(const BoundedInt& value, std::size_t caret);

}  // namespace korvu::job
