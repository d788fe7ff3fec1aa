#pragma once

#include <cstddef>
#include <string_view>

namespace korvu::platform {

// Names compare as Windows compares them (registry keys and values, environment variables, the
// batch language's words, settings sections and keys): the letters A to Z match a to z; every
// other byte matches only itself.
inline char LowerAsciiChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && LowerAsciiChar(a[i]) != LowerAsciiChar(b[i])) return false;
  return true;
}

}  // namespace korvu::platform
