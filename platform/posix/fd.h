#pragma once

#include <cerrno>
#include <utility>

#include <unistd.h>

namespace korvu::platform {

// Owns a file descriptor; -1 for none.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes now and tells whether the close succeeded; a full disk can show up only here (NFS).
  int Close() { return close(std::exchange(fd_, -1)) == 0 ? 0 : errno; }

 private:
  int fd_;
};

}  // namespace korvu::platform
