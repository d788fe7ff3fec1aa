#include "encoder/console.h"

#include <unistd.h>

namespace korvu::enc {

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream));
}

void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace korvu::enc
