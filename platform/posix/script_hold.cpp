#include "platform/script_hold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace korvu::platform {

ScriptHold::~ScriptHold() {
  Release();
}

bool ScriptHold::Take(const std::string& path) {
  Release();
  // Opened for reading, so that a script without write access is still locked and its write
  // reports the refusal; O_NONBLOCK keeps a FIFO of that name from blocking the open.
  const int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held_elsewhere = errno == EWOULDBLOCK;
    close(fd);
    return !held_elsewhere;
  }
  path_ = path;
  file_ = fd;
  return true;
}

bool ScriptHold::Seal() {
  return true;
}

void ScriptHold::Release() {
  // Closing the only descriptor of the open file ends its lock.
  if (file_ >= 0) close(static_cast<int>(file_));
  file_ = -1;
  path_.clear();
}

}  // namespace korvu::platform
