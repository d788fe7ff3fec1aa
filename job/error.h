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
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// The text of the error box for `message`: a full stop appended when the message is not empty and
// its last character's code lies above that of '.', so "Fehler: x" gets one and "Ende." or
// "für 'x'" does not.
std::string ErrorBoxText(std::string_view message);

inline constexpr std::string_view kInvalidFileName = "Ungültiger Dateiname - %s";

}  // namespace korvu::job
