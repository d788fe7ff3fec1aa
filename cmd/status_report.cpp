#include "cmd/status_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace korvu::cmd::status_report {
namespace {

int channel_fd = -1;

// Both are async-signal-safe: only write(2), from buffers on the stack or constant. A message is
// far shorter than PIPE_BUF, so it arrives whole or not at all.
void WriteMessage(const char* text, std::size_t length) {
  if (channel_fd >= 0 && write(channel_fd, text, length) < 0) {
    // Nobody is listening any more; the run goes on.
  }
}

void WriteExit(int exit_code) {
  if (channel_fd < 0) return;
  char text[32] = "exit ";
  std::size_t length = 5;
  char digits[16];
  std::size_t count = 0;
  unsigned value = exit_code < 0 ? 0u - static_cast<unsigned>(exit_code) : exit_code;
  do digits[count++] = static_cast<char>('0' + value % 10);
  while ((value /= 10) != 0);
  if (exit_code < 0) text[length++] = '-';
  while (count > 0) text[length++] = digits[--count];
  text[length++] = '\n';
  WriteMessage(text, length);
}

void OnEndingSignal(int signal_number) {
  WriteExit(128 + signal_number);
  _exit(128 + signal_number);
}

void InstallSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = OnEndingSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGHUP, SIGINT, SIGQUIT, SIGTERM})
    sigaction(signal_number, &action, nullptr);
  // A reader that went away must not kill the run; started programs get SIGPIPE back.
  signal(SIGPIPE, SIG_IGN);
}

}  // namespace

bool Open(const std::string& fifo_path) {
  // Non-blocking, so that a missing reader shows as an error instead of a wait for ever.
  channel_fd = open(fifo_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (channel_fd < 0) return false;
  InstallSignalHandlers();
  static constexpr char kStarted[] = "started\n";
  WriteMessage(kStarted, sizeof kStarted - 1);
  return true;
}

void NotStarted() {
  static constexpr char kNotStarted[] = "not-started\n";
  WriteMessage(kNotStarted, sizeof kNotStarted - 1);
}

void Finished(int exit_code) {
  WriteExit(exit_code);
}

}  // namespace korvu::cmd::status_report
