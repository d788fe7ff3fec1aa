#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvu::test {

// How to start a program in a test.
struct ChildOptions {
  std::vector<std::string> argv;  // argv[0] is the file to start
  // Environment changes on top of the test's own: a value sets, nothing removes.
  std::map<std::string, std::optional<std::string>> environment;
  std::string folder;  // the current folder; empty: the test's own
  std::string input;   // written to standard input, which then ends
  // When set, standard input, output and error are this terminal instead of pipes.
  std::optional<int> terminal_fd;
};

struct ChildResult {
  int exit_code = -1;  // 128 + the signal number when a signal ended it
  std::string out;
  std::string err;
};

// A started program whose output is collected until it ends.
class Child {
 public:
  explicit Child(const ChildOptions& options);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Collects output until the program ends and returns the result; fails the test (exit code -1)
  // when that takes longer than `timeout`, killing the program.
  ChildResult Wait(std::chrono::milliseconds timeout = std::chrono::seconds(30));

 private:
  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
};

// Starts the program and waits for it.
ChildResult RunChild(const ChildOptions& options);

// A pseudo-terminal: the test types into `master` and reads what the program shows; the program
// gets `slave` (see ChildOptions::terminal_fd).
struct PseudoTerminal {
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Reads what has arrived so far (without waiting) and appends it to `shown`.
  void ReadAvailable();
  void Type(const std::string& keys) const;

  int master = -1;
  int slave = -1;
  std::string shown;
};

}  // namespace korvu::test
