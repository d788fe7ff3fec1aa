#include "job/error.h"

namespace korvu::job {

std::string FormatMessage(std::string_view pattern, std::string_view argument) {
  std::string text(pattern);
  const auto at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace korvu::job
