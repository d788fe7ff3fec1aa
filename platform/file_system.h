#pragma once

#include <string>

namespace korvu::platform {

enum class EntryKind { kNone, kFile, kFolder };

// What the file system holds under a name. The job asks through this interface so that tests can
// give it a file system of their own.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The kind of the entry of exactly that name; kNone for an empty name, a missing entry, or any
  // failure to look (no access, a malformed name). Symbolic links are followed.
  virtual EntryKind Kind(const std::string& name) const = 0;
};

// The file system of the machine the program runs on.
const FileSystem& RealFileSystem();

}  // namespace korvu::platform
