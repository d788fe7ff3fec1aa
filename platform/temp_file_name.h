#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace korvu::platform {

// The name a save gives its temporary file beside the one it replaces: ".korvu-", 16 lower-case
// hex digits, ".tmp". Both systems' saves make and clean up files of this name, and no other.
inline constexpr std::string_view kTempFilePrefix = ".korvu-";
inline constexpr std::string_view kTempFileSuffix = ".tmp";

inline std::string TempFileName(std::uint64_t number) {
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(number));
  return std::string(kTempFilePrefix) + digits + std::string(kTempFileSuffix);
}

// Whether `name` is one that TempFileName gives.
inline bool IsTempFileName(std::string_view name) {
  if (name.size() != kTempFilePrefix.size() + 16 + kTempFileSuffix.size() ||
      !name.starts_with(kTempFilePrefix) || !name.ends_with(kTempFileSuffix))
    return false;
  return std::ranges::all_of(name.substr(kTempFilePrefix.size(), 16), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
  });
}

}  // namespace korvu::platform
