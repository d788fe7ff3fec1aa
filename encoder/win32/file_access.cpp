#include "encoder/file_access.h"

#include <windows.h>

#include "encoder/win32/utf8.h"

namespace korvu::enc {

std::filesystem::path FilePath(const std::string& name) {
  return Utf16(name);
}

std::FILE* OpenFile(const std::string& name, const char* mode) {
  return _wfopen(Utf16(name).c_str(), Utf16(mode).c_str());
}

// rename() does not replace a file on Windows; MoveFileEx does, within a volume at once.
std::error_code RenameOver(const std::string& from, const std::string& to) {
  if (!MoveFileExW(Utf16(from).c_str(), Utf16(to).c_str(), MOVEFILE_REPLACE_EXISTING))
    return {static_cast<int>(GetLastError()), std::system_category()};
  return {};
}

// stat() has no inode on Windows (every file's is 0); the volume's serial number and the file's
// index are what tell files apart.
std::optional<FileIdentity> IdentityOf(const std::string& name) {
  // Backup semantics open folders too; no access right is needed to read the identity.
  HANDLE file =
      CreateFileW(Utf16(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

}  // namespace korvu::enc
