#pragma once

#include <string_view>

namespace korvu::cmd {

// The batch language compares keywords, labels and variable names without regard to the case of
// the letters A to Z; other bytes compare exactly.
inline char LowerAsciiChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i])) return false;
  return true;
}

// Blank and tab: what separates words in a batch line.
inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace korvu::cmd
