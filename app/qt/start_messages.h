#pragma once

#include <QtGlobal>
#include <string>

namespace korvu::app {

// Holds the toolkit's messages while the application object is made. When its window system
// cannot start there (a display that is named but cannot be opened), the toolkit would print
// several lines and abort; the program prints `failure_line` instead and ends with status 1.
// Otherwise the held messages go to the usual output once this ends.
class HeldStartMessages {
 public:
  explicit HeldStartMessages(std::string failure_line);
  ~HeldStartMessages();
  HeldStartMessages(const HeldStartMessages&) = delete;
  HeldStartMessages& operator=(const HeldStartMessages&) = delete;

 private:
  QtMessageHandler previous_;
};

}  // namespace korvu::app
