#pragma once

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace korvu::enc::e2e {

using test::RunningProgram;
using test::RunProgram;
using test::RunResult;

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
