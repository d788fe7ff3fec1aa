#include "job/spin_text.h"

#include <algorithm>
#include <limits>

#include "job/number_text.h"

namespace korvu::job {

bool AcceptsSpinKey(char c) {
  return static_cast<unsigned char>(c) < 32 || (c >= '0' && c <= '9') || c == '+' || c == '-';
}

std::int64_t SpinReading(std::string_view text, int min) {
  using Limits = std::numeric_limits<std::int32_t>;
  return ParseDecimal(text, Limits::min(), Limits::max()).value_or(min);
}

SpinText ShownSpinText(const BoundedInt& value, std::size_t caret) {
  SpinText shown{value.Text()};
  shown.caret = std::min(caret, shown.text.size());
  return shown;
}

}  // namespace korvu::job
