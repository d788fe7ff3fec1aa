#include "job/error.h"

namespace korvu::job {

std::string FormatText(std::string_view pattern,
                       std::initializer_list<std::string_view> arguments) {
  std::string text;
  const auto* argument = arguments.begin();
  for (auto at = pattern.find("%s"); at != std::string_view::npos && argument != arguments.end();
       at = pattern.find("%s"), ++argument) {
    text.append(pattern.substr(0, at)).append(*argument);
    pattern.remove_prefix(at + 2);
  }
  return text.append(pattern);
}

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace korvu::job
