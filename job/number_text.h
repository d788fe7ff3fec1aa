#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvu::job {

// `text` read as a decimal whole number: an optional "+" or "-", then one or more digits (leading
// zeros allowed) and nothing else, within [min, max]; nothing otherwise.
std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t min, std::int64_t max);

// The 32-bit reading of a number text: 0 when it is empty, a lone sign, holds any other
// character, or lies outside the 32-bit range.
std::int32_t NumberValue(std::string_view text);

// The 64-bit reading, the same with the 64-bit range.
std::int64_t NumberAsInteger(std::string_view text);

// The text a number field shows after validation: only what could have been typed is kept (digits,
// control characters, a sign at the first position), a negative number becomes "0", and the rest
// is the decimal form of the 64-bit reading: no plus sign, no leading zeros, "0" for anything that
// is no 64-bit number.
std::string ValidatedNumberText(std::string_view text);

}  // namespace korvu::job
