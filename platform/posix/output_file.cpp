#include "platform/output_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace korvu::platform {
namespace {

int IoCode(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ELOOP:  // a symbolic link, which is not followed
      return 5;
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return 3;
    case ENOSPC:
    case EDQUOT:
      return 112;
    case EMFILE:
    case ENFILE:
      return 4;
    default:
      return error;
  }
}

}  // namespace

OutputFile::~OutputFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

int OutputFile::Create(const std::string& path) {
  if (handle_ >= 0)
    static_cast<void>(Close());  // the old file's close does not concern the new one
  // Never through a symbolic link: one planted in the program's folder would have the script
  // overwrite (or create) the file it names.
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return IoCode(errno);
  handle_ = fd;
  return 0;
}

int OutputFile::Write(const char* data, std::size_t size) {
  if (handle_ < 0) return IoCode(EBADF);
  while (size > 0) {
    const ssize_t written = ::write(static_cast<int>(handle_), data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return IoCode(errno);
    if (written == 0) return IoCode(ENOSPC);
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int OutputFile::Close() {
  if (handle_ < 0) return IoCode(EBADF);
  const int fd = static_cast<int>(handle_);
  handle_ = -1;
  return ::close(fd) == 0 ? 0 : IoCode(errno);
}

}  // namespace korvu::platform
