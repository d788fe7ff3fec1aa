#include "platform/posix/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace korvu::platform {
namespace {

// Spawn attributes for a clean start: every signal at its default, none blocked.
class CleanStart {
 public:
  explicit CleanStart(bool new_session) {
    posix_spawnattr_init(&attributes_);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes_, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                               (new_session ? POSIX_SPAWN_SETSID : 0));
  }
  ~CleanStart() { posix_spawnattr_destroy(&attributes_); }
  CleanStart(const CleanStart&) = delete;
  CleanStart& operator=(const CleanStart&) = delete;
  const posix_spawnattr_t* Get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

}  // namespace

int StartProcess(const std::string& path, const std::vector<std::string>& argv, bool new_session,
                 pid_t& pid) {
  std::vector<char*> pointers;
  for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);
  const CleanStart attributes(new_session);
  return posix_spawn(&pid, path.c_str(), nullptr, attributes.Get(), pointers.data(), environ);
}

int WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return 128;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

SpawnResult SpawnAndWait(const std::string& path, const std::vector<std::string>& argv) {
  pid_t pid = 0;
  if (const int error = StartProcess(path, argv, false, pid)) return {false, error, 0};
  return {true, 0, WaitForExit(pid)};
}

}  // namespace korvu::platform
