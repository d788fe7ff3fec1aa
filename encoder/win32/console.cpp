#include "encoder/console.h"

#include <io.h>
#include <windows.h>

#include "encoder/win32/utf8.h"

namespace korvu::enc {
namespace {

// The console behind `stream`, nothing when it goes elsewhere (the C runtime calls the null
// device a terminal too).
HANDLE ConsoleOf(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
  return ConsoleOf(stream) != nullptr;
}

int TerminalColumns(std::FILE* stream) {
  HANDLE console = ConsoleOf(stream);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (console == nullptr || !GetConsoleScreenBufferInfo(console, &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

// The console takes UTF-16 whatever its code page; a file or pipe gets the UTF-8 bytes.
void WriteText(std::FILE* stream, std::string_view text) {
  HANDLE console = ConsoleOf(stream);
  if (console == nullptr) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  std::fflush(stream);
  const std::wstring wide = Utf16(text);
  DWORD written;
  WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace korvu::enc
