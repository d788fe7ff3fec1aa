#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "job/job_settings.h"

namespace korvu::job {

// The section of the settings file that keeps the job.
inline constexpr std::string_view kSettingsSection = "Korvu";

// How the file keeps each key of kSettingsKeys; the kind of the value decides:
//  - a path or free text is written as shown and loaded through QuotePath;
//  - a number text is written as its 64-bit reading and loaded as a value, which the field
//    validates; a bounded integer is written as its value and loaded clamped; a list index is
//    written as the index (-1 for none) and loaded as the index to select;
//  - the B-reference box is written as a flag that is true only when checked, and loaded checked
//    or unchecked; a flag is written and loaded as a flag.
// A value that does not read in the form of its key counts as a missing key.

// The value of `key` as the file writes it.
std::string WrittenValue(const JobSettings& settings, const SettingsKey& key);
// Sets the value of `key` from `value`, or leaves it as it is when `value` does not read in the
// key's form. Raises whatever the value's change rules raise.
void ApplyValue(JobSettings& settings, const SettingsKey& key, std::string_view value);

// An integer: an optional "+" or "-", then either decimal digits within the 32-bit signed range
// (leading zeros allowed), or one of the prefixes "$", "x", "X", "0x", "0X" and at most eight
// significant hexadecimal digits of either case, whose 32-bit pattern reads as a signed number
// ("$FFFFFFFF" is -1); a "-" before a hexadecimal number negates it. Nothing else: no blank, no
// separator, no fraction, no word.
std::optional<std::int32_t> ReadInteger(std::string_view value);

// A flag: an integer, 0 for false and any other for true.
std::optional<bool> ReadFlag(std::string_view value);

// The written form of an integer: plain decimal digits with "-" before a negative number.
std::string WriteInteger(std::int64_t value);

}  // namespace korvu::job
