#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvu::enc {

// A failure that ends the run. The message is the whole line the user reads after the program's
// name: the file or option concerned, a colon and the reason.
class Error : public std::runtime_error {
 public:
  Error(std::string_view subject, std::string_view reason)
      : std::runtime_error(std::string(subject) + ": " + std::string(reason)) {}
};

}  // namespace korvu::enc
