#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

extern char** environ;

namespace korvu::test {
namespace {

std::vector<std::string> ChildEnvironment(
    const std::map<std::string, std::optional<std::string>>& changes) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (changes.count(text.substr(0, text.find('='))) == 0) entries.push_back(text);
  }
  for (const auto& [name, value] : changes)
    if (value) entries.push_back(name + "=" + *value);
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

void MakePipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

// Appends what `fd` has; returns false at its end.
bool Drain(int fd, std::string& into) {
  char buffer[4096];
  const ssize_t count = read(fd, buffer, sizeof buffer);
  if (count > 0) into.append(buffer, static_cast<std::size_t>(count));
  return count > 0 || (count < 0 && (errno == EINTR || errno == EAGAIN));
}

int ExitCodeOf(int status) {
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace

Child::Child(const ChildOptions& options) {
  int in[2], out[2], err[2];
  MakePipe(in), MakePipe(out), MakePipe(err);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.terminal_fd) {
    for (int target : {0, 1, 2})
      posix_spawn_file_actions_adddup2(&actions, *options.terminal_fd, target);
  } else {
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  }
  if (!options.folder.empty())
    posix_spawn_file_actions_addchdir_np(&actions, options.folder.c_str());
  std::vector<std::string> argv = options.argv;
  std::vector<std::string> environment = ChildEnvironment(options.environment);
  const int error = posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(),
                                Pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]), close(out[1]), close(err[1]);
  if (error != 0) {
    pid_ = -1;
    ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(error);
  }
  if (!options.input.empty() && write(in[1], options.input.data(), options.input.size()) < 0)
    ADD_FAILURE() << "cannot write the input";
  close(in[1]);
  out_fd_ = out[0];
  err_fd_ = err[0];
}

Child::~Child() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_fd_ >= 0) close(out_fd_);
  if (err_fd_ >= 0) close(err_fd_);
}

ChildResult Child::Wait(std::chrono::milliseconds timeout) {
  ChildResult result;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  bool out_open = true, err_open = true;
  while ((out_open || err_open) && std::chrono::steady_clock::now() < deadline) {
    pollfd fds[2] = {{out_open ? out_fd_ : -1, POLLIN, 0}, {err_open ? err_fd_ : -1, POLLIN, 0}};
    if (poll(fds, 2, 100) <= 0) continue;
    if (fds[0].revents != 0) out_open = Drain(out_fd_, result.out);
    if (fds[1].revents != 0) err_open = Drain(err_fd_, result.err);
  }
  if (pid_ < 0) return result;
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ADD_FAILURE() << "the program did not end in time; output so far:\n" << result.out;
      return result;  // the destructor kills it
    }
    usleep(10000);
  }
  pid_ = -1;
  result.exit_code = ExitCodeOf(status);
  return result;
}

ChildResult RunChild(const ChildOptions& options) {
  return Child(options).Wait();
}

PseudoTerminal::PseudoTerminal() {
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
}

PseudoTerminal::~PseudoTerminal() {
  close(master);
  close(slave);
}

void PseudoTerminal::ReadAvailable() {
  char buffer[4096];
  ssize_t count = 0;
  while ((count = read(master, buffer, sizeof buffer)) > 0)
    shown.append(buffer, static_cast<std::size_t>(count));
}

void PseudoTerminal::Type(const std::string& keys) const {
  if (write(master, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
    ADD_FAILURE() << "cannot type into the terminal";
}

}  // namespace korvu::test
