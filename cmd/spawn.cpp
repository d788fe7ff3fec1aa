#include "cmd/spawn.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace korvu::cmd {
namespace {

// Signal attributes that give the child a clean start: handlers are reset by exec anyway, but an
// ignored SIGPIPE or a blocked signal would be inherited.
class CleanSignals {
 public:
  CleanSignals() {
    posix_spawnattr_init(&attributes_);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes_, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  }
  ~CleanSignals() { posix_spawnattr_destroy(&attributes_); }
  CleanSignals(const CleanSignals&) = delete;
  CleanSignals& operator=(const CleanSignals&) = delete;
  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

int WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return 128;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

}  // namespace

SpawnResult SpawnAndWait(const std::string& path, const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);
  const CleanSignals signals;
  pid_t pid = 0;
  const int error =
      posix_spawn(&pid, path.c_str(), nullptr, signals.get(), pointers.data(), environ);
  if (error != 0) return {false, error, 0};
  return {true, 0, WaitForExit(pid)};
}

}  // namespace korvu::cmd
