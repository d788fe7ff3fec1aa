#pragma once

#include <sys/types.h>

#include <string>

namespace korvu::test {

// A virtual X display of its own: Xvfb on the first free display number.
class Xvfb {
 public:
  Xvfb();
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  // ":N", or empty when the server did not start.
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace korvu::test
