#include "encoder/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace korvu::enc {

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream));
}

int TerminalColumns(std::FILE* stream) {
  winsize size{};
  return ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace korvu::enc
