#pragma once

#include <optional>
#include <string_view>

namespace korvu::enc {

// A frame rate as a reduced fraction of frames per second.
struct Rational {
  int num = 0;
  int den = 1;

  double Value() const { return static_cast<double>(num) / den; }
  bool operator==(const Rational&) const = default;
};

// Reads a frame rate written as a whole number ("25"), a decimal number ("12.5") or a fraction
// ("30000/1001"). A decimal number that is not whole and lies within 0.005 of n*1000/1001
// (29.97, 23.976, 59.94) means that NTSC-style rate exactly. Returns nothing for any other text
// and for rates outside (0, 1000].
std::optional<Rational> ParseFrameRate(std::string_view text);

}  // namespace korvu::enc
