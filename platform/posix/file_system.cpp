#include "platform/file_system.h"

#include <sys/stat.h>

namespace korvu::platform {
namespace {

class PosixFileSystem final : public FileSystem {
 public:
  EntryKind Kind(const std::string& name) const override {
    struct stat info;
    // An embedded NUL would make stat() see a different, shorter name.
    if (name.empty() || name.find('\0') != std::string::npos || stat(name.c_str(), &info) != 0)
      return EntryKind::kNone;
    if (S_ISDIR(info.st_mode)) return EntryKind::kFolder;
    return EntryKind::kFile;
  }
};

}  // namespace

const FileSystem& RealFileSystem() {
  static const PosixFileSystem file_system;
  return file_system;
}

}  // namespace korvu::platform
