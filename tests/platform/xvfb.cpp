#include "tests/platform/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace korvu::test {
namespace {

// Reads the display number that Xvfb writes when it is ready; empty after 20 s without one.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  for (;;) {
    pollfd watched{fd, POLLIN, 0};
    if (poll(&watched, 1, 20000) <= 0) return {};
    char c = 0;
    if (read(fd, &c, 1) != 1) return {};
    if (c == '\n') return number;
    number += c;
  }
}

}  // namespace

Xvfb::Xvfb() {
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // Without -noreset the server resets whenever its last client leaves, and a client that
  // connects during the reset (xterm, while the test polls with xwininfo) is turned away.
  std::vector<const char*> argv{"Xvfb",     "-displayfd", "3", "-nolisten",   "tcp",
                                "-noreset", "-screen",    "0", "1024x768x24", nullptr};
  const int error = posix_spawnp(&pid_, "Xvfb", &actions, nullptr,
                                 const_cast<char* const*>(argv.data()), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ready[1]);
  if (error != 0) pid_ = -1;
  const std::string number = pid_ > 0 ? ReadDisplayNumber(ready[0]) : std::string();
  close(ready[0]);
  if (!number.empty()) display_ = ":" + number;
}

Xvfb::~Xvfb() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

}  // namespace korvu::test
