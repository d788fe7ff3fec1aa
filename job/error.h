#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvu::job {

// A failure that the user reads as it stands: the message is the exact text of the error report.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `pattern` with its "%s" replaced by `arguments` in turn, each taken literally.
std::string FormatMessage(std::string_view pattern,
                          std::initializer_list<std::string_view> arguments);

inline constexpr std::string_view kInvalidFileName = "Ungültiger Dateiname - %s";

}  // namespace korvu::job
