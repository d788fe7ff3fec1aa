#pragma once

#include <string_view>

#include "platform/ascii_case.h"

namespace korvu::cmd {

// The batch language compares keywords, labels and variable names without regard to the case of
// the letters A to Z.
using platform::EqualsIgnoringCase;

// Blank and tab: what separates words in a batch line.
inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace korvu::cmd
