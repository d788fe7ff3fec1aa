#include "tests/support/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>
#include <stdexcept>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace korvu::test {

std::vector<std::string> RunResult::ErrLines() const {
  std::vector<std::string> lines;
  std::istringstream text(err);
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

RunningProgram::RunningProgram(const std::vector<std::string>& args, const std::string& dir) {
  const std::string out = capture_ / "out", err = capture_ / "err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int error = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + args[0]);
}

RunResult RunningProgram::Wait() {
  int status = 0;
  waitpid(pid_, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          ReadFile(capture_ / "out"), ReadFile(capture_ / "err")};
}

RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir) {
  return RunningProgram(args, dir).Wait();
}

}  // namespace korvu::test
