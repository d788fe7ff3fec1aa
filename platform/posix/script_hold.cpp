#include "platform/script_hold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace korvu::platform {
namespace {

// The script opened for its lock alone: for reading, so that a script without write access is
// still locked and its write reports the refusal; O_NONBLOCK keeps a FIFO of that name from
// blocking the open; never through a symbolic link, which would lock (or create) its target.
int OpenForLock(const std::string& path, int create) {
  return open(path.c_str(), O_RDONLY | create | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
              0666);
}

}  // namespace

ScriptHold::~ScriptHold() {
  Release();
}

bool ScriptHold::Take(const std::string& path) {
  return Lock(path, O_CREAT, LOCK_EX);
}

bool ScriptHold::Seal() {
  // Shared from here on, so that the console can take its own share beside ours. Linux turns the
  // lock into a shared one in one step, without a moment in which another run could take it.
  if (file_ >= 0) flock(static_cast<int>(file_), LOCK_SH);
  return true;
}

bool ScriptHold::Share(const std::string& path) {
  return Lock(path, 0, LOCK_SH);
}

// False only when another process holds a lock that `kind` cannot share; a file that cannot be
// opened holds nothing back.
bool ScriptHold::Lock(const std::string& path, int open_flags, int kind) {
  Release();
  const int fd = OpenForLock(path, open_flags);
  if (fd < 0) return true;
  if (flock(fd, kind | LOCK_NB) != 0) {
    const bool held_elsewhere = errno == EWOULDBLOCK;
    close(fd);
    return !held_elsewhere;
  }
  path_ = path;
  file_ = fd;
  return true;
}

void ScriptHold::Release() {
  // Closing the only descriptor of the open file ends its lock.
  if (file_ >= 0) close(static_cast<int>(file_));
  file_ = -1;
  path_.clear();
}

}  // namespace korvu::platform
