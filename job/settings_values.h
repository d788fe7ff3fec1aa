#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvu::job {

// The forms of a value in the settings file. A value that does not read in the form of its key
// counts as a missing key.

// An integer: an optional "+" or "-", then either decimal digits within the 32-bit signed range
// (leading zeros allowed), or one of the prefixes "$", "x", "X", "0x", "0X" and at most eight
// significant hexadecimal digits of either case, whose 32-bit pattern reads as a signed number
// ("$FFFFFFFF" is -1); a "-" before a hexadecimal number negates it. Nothing else: no blank, no
// separator, no fraction, no word.
std::optional<std::int32_t> ReadInteger(std::string_view value);

// A flag: an integer, 0 for false and any other for true.
std::optional<bool> ReadFlag(std::string_view value);

// The written forms: plain decimal digits with "-" before a negative number; "1" or "0".
std::string WriteInteger(std::int64_t value);
std::string WriteFlag(bool value);

}  // namespace korvu::job
