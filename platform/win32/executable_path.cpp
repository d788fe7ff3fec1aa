#include "platform/executable_path.h"

#include <windows.h>

#include <vector>

namespace korvu::platform {

std::string ExecutablePath() {
  // Long-path names reach 32767 characters; a result that fills the buffer was cut, and Wine does
  // not terminate a cut result, so the length is all that is trusted.
  std::vector<char> buffer(32768);
  const DWORD size = static_cast<DWORD>(buffer.size());
  const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
  if (length == 0 || length >= size) return {};
  return std::string(buffer.data(), length);
}

}  // namespace korvu::platform
