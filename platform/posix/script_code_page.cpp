#include "platform/script_code_page.h"

namespace korvu::platform {

std::optional<std::string> ToScriptCodePage(std::string_view text) {
  return std::string(text);
}

}  // namespace korvu::platform
