#include "platform/executable_path.h"

#include <windows.h>

namespace korvu::platform {

std::string ExecutablePath() {
  char buffer[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  char full[MAX_PATH + 1];
  const DWORD full_length = GetFullPathNameA(buffer, sizeof full, full, nullptr);
  if (full_length == 0 || full_length >= sizeof full) return std::string(buffer, length);
  return std::string(full, full_length);
}

}  // namespace korvu::platform
