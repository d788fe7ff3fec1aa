#pragma once

#include <cstddef>
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

// Whether a number field takes the key `c` typed into `text` with the caret at `caret`: a control
// character (an editing key such as Backspace), a digit, or a sign typed at the first position
// while `text` holds no such sign or some text is selected. Anything else is dropped silently.
bool AcceptsNumberKey(char c, std::string_view text, std::size_t caret, bool has_selection);

// The text a number field shows after validation. First the filter: each character is kept when
// AcceptsNumberKey takes it typed at its own position after the characters before it (so a sign
// survives only as the first character; "x-5" keeps "5"); control characters are editing keys,
// never part of a number, and go. Then a negative number becomes "0", and the rest is the decimal
// form of the 64-bit reading: no plus sign, no leading zeros, "0" for anything that is no 64-bit
// number.
std::string ValidatedNumberText(std::string_view text);

}  // namespace korvu::job
