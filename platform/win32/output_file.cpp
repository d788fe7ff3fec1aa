#include "platform/output_file.h"

#include <windows.h>

namespace korvu::platform {
namespace {

HANDLE AsHandle(intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

OutputFile::~OutputFile() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
}

int OutputFile::Create(const std::string& path) {
  if (handle_ != -1)
    static_cast<void>(Close());  // the old file's close does not concern the new one
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  handle_ = reinterpret_cast<intptr_t>(file);
  return 0;
}

int OutputFile::Write(const char* data, std::size_t size) {
  if (handle_ == -1) return ERROR_INVALID_HANDLE;
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    if (!WriteFile(AsHandle(handle_), data, chunk, &written, nullptr))
      return static_cast<int>(GetLastError());
    if (written == 0) return ERROR_DISK_FULL;
    data += written;
    size -= written;
  }
  return 0;
}

int OutputFile::Close() {
  if (handle_ == -1) return ERROR_INVALID_HANDLE;
  const HANDLE file = AsHandle(handle_);
  handle_ = -1;
  return CloseHandle(file) ? 0 : static_cast<int>(GetLastError());
}

}  // namespace korvu::platform
