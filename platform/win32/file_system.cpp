#include "platform/file_system.h"

#include <windows.h>

namespace korvu::platform {
namespace {

class Win32FileSystem final : public FileSystem {
 public:
  EntryKind Kind(const std::string& name) const override {
    if (name.empty()) return EntryKind::kNone;
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::kNone;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
  }
};

}  // namespace

const FileSystem& RealFileSystem() {
  static const Win32FileSystem file_system;
  return file_system;
}

}  // namespace korvu::platform
