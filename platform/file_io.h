#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvu::platform {

// The step of a file operation that failed.
enum class FileStep {
  kOpen,    // opening an existing file for reading, or reading it
  kCreate,  // creating or replacing the file: no write access, a missing folder, an invalid name
  kWrite,   // writing the new contents or flushing them to the disk: a full disk, an I/O error
};

// Why a file operation failed, with enough for the caller to choose its message.
struct FileError {
  FileStep step = FileStep::kOpen;
  // On reading: no regular file lives under the name (nothing there, a missing folder, a folder,
  // a device, a symbolic link that is not followed).
  bool no_file = false;
  int code = 0;             // errno, or GetLastError() on Windows
  std::string description;  // the system's text for `code`, as the system gives it
};

// Whether a symbolic link in the file's place is followed. Korvu's own files in its folder (the
// default settings file) are never reached through one, so that a link planted there cannot
// have them read from or written to another file; a file the user chose is reached as named.
// Windows follows as it always does.
enum class Links { kFollow, kRefuse };

// Reads the whole file `name` into `bytes`, as bytes. Other readers may share the file meanwhile,
// writers may not (where the system can say so). On failure `bytes` is left empty.
[[nodiscard]] std::optional<FileError> ReadWholeFile(const std::string& name, std::string& bytes,
                                                     Links links = Links::kFollow);

// Replaces the file `name` with `bytes` so that a failure leaves the old file whole: the bytes go
// into a new file in the same folder, which is flushed to the disk and then put in place of the
// old one. An existing file must be writable, keeps its permission bits, and is reached through
// symbolic links (the link stays, its target is replaced) unless `links` refuses them. A name that
// is no regular file (a device) is written in place. No temporary file is left behind on any
// failure. The temporary file is called ".korvu-" plus 16 lower-case hex digits plus ".tmp"; files
// of exactly that name in the folder that are older than a minute are what a killed save left, and
// are removed first.
[[nodiscard]] std::optional<FileError> ReplaceFileSafely(const std::string& name,
                                                         std::string_view bytes,
                                                         Links links = Links::kFollow);

// `name` as a full path: a relative name is taken from the current folder. Nothing is looked up
// and nothing is normalised beyond what the system does for it.
std::string FullPath(const std::string& name);

}  // namespace korvu::platform
