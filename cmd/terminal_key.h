#pragma once

#include <termios.h>

namespace korvu::cmd {

// Puts a terminal into single-key mode (no line editing, no echo; signals such as Ctrl+C still
// work) for its lifetime, so that one key press can be read without waiting for Enter. Does
// nothing when `fd` is not a terminal.
class SingleKeyMode {
 public:
  explicit SingleKeyMode(int fd);
  ~SingleKeyMode();
  SingleKeyMode(const SingleKeyMode&) = delete;
  SingleKeyMode& operator=(const SingleKeyMode&) = delete;

  bool Active() const { return active_; }
  // Waits for one key and consumes its first byte; returns at once at end of input or when the
  // mode is not active.
  void ReadKey() const;

 private:
  int fd_;
  bool active_ = false;
  termios saved_{};
};

}  // namespace korvu::cmd
