#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "encoder/frame_rate.h"

namespace korvu::enc {

// Where a pass stands.
struct PassState {
  int pass = 1;
  int64_t frames = 0;  // read
  int64_t total = 0;   // 0 when unknown
  int64_t coded = 0;   // handed back by x264; the bytes are theirs
  uint64_t bytes = 0;
  double seconds = 0;
  Rational frame_rate{25, 1};
};

// "pass 2: 120/250 frames (48%), 95.3 fps, 1003 kb/s, 0:00:01 elapsed, 0:00:02 left"; the
// total, percentage and time left are missing when the total is unknown.
std::string ProgressLine(const PassState& state);

// "250 frames, 1002.6 kb/s, 0:00:03 (83.3 fps)".
std::string SummaryLine(const PassState& state);

// Shows a pass's progress on the console: on a terminal one line, rewritten in place a few
// times a second; elsewhere (a log file, a pipe) a plain line every few seconds.
// A line is rewritten with a carriage return and blanks over what a longer line left, which
// every console shows alike (not every one that claims escape codes draws them), and is kept
// shorter than the terminal is wide: a full row moves some consoles' cursor to the next.
class Progress {
 public:
  Progress(std::FILE* out, bool terminal, int pass, int64_t total, Rational frame_rate);
  // Ends a line left open on the terminal, so that what follows starts on a line of its own.
  ~Progress();

  void Update(int64_t frames, int64_t coded, uint64_t bytes);
  // Replaces the progress line by the summary of the figures, followed by `where`.
  void Finish(int64_t frames, uint64_t bytes, const std::string& where);

 private:
  using Clock = std::chrono::steady_clock;
  PassState State(int64_t frames, int64_t coded, uint64_t bytes) const;
  // `line` from the start of the terminal's line, covering what is there.
  std::string OverOpenLine(std::string_view line) const;

  std::FILE* out_;
  bool terminal_;
  PassState state_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point shown_ = start_;
  size_t columns_;        // the terminal's width, 0 when unknown
  size_t open_line_ = 0;  // the length of the line left open on the terminal
};

}  // namespace korvu::enc
