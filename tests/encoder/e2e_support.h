#pragma once

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

#include "tests/support/temp_dir.h"

namespace korvu::enc::e2e {

// How a program run ended (exit status, or 128 + signal) and what it wrote.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;

  std::vector<std::string> ErrLines() const;
};

// `args` (args[0] looked up on PATH) started in the folder `dir` with no input.
class RunningProgram {
 public:
  RunningProgram(const std::vector<std::string>& args, const std::string& dir);
  pid_t pid() const { return pid_; }
  RunResult Wait();

 private:
  test::TempDir capture_;  // its stdout and stderr
  pid_t pid_ = 0;
};

// Runs `args` (args[0] looked up on PATH) in the folder `dir` with no input.
RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir);

// The korvu-enc program of this build, or its copy beside a test that runs as another user.
inline std::string Encoder() {
  const char* copies = std::getenv("KORVU_TEST_PROGRAMS");
  return copies != nullptr ? std::string(copies) + "/korvu-enc" : std::string(KORVU_ENC);
}

// Runs ffmpeg quietly in `dir` with `args` after "-y"; throws when it fails.
void Ffmpeg(const std::string& dir, const std::vector<std::string>& args);

// One frame of a stream as ffprobe decodes it, in display order.
struct ProbedFrame {
  bool key;
  char type;
  bool interlaced;
  bool top_field_first;
};
std::vector<ProbedFrame> ProbeFrames(const std::string& file);

// ffprobe's description of the first video stream: r_frame_rate, field_order, level, ...
std::map<std::string, std::string> ProbeStream(const std::string& file);

int LongestBRun(const std::vector<ProbedFrame>& frames);
// Counting the frames after the last key frame as if the next one followed them.
int LongestKeyframeDistance(const std::vector<ProbedFrame>& frames);

}  // namespace korvu::enc::e2e
