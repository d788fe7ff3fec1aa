#include "cmd/terminal_key.h"

#include <unistd.h>

#include <cerrno>

namespace korvu::cmd {

SingleKeyMode::SingleKeyMode(int fd) : fd_(fd) {
  if (!isatty(fd_) || tcgetattr(fd_, &saved_) != 0) return;
  termios single_key = saved_;
  single_key.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  single_key.c_cc[VMIN] = 1;
  single_key.c_cc[VTIME] = 0;
  active_ = tcsetattr(fd_, TCSANOW, &single_key) == 0;
}

SingleKeyMode::~SingleKeyMode() {
  if (active_) tcsetattr(fd_, TCSANOW, &saved_);
}

void SingleKeyMode::ReadKey() const {
  if (!active_) return;
  char key = 0;
  while (read(fd_, &key, 1) < 0 && errno == EINTR) {
  }
}

}  // namespace korvu::cmd
