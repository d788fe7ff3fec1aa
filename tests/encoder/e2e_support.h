#pragma once

#include <map>
#include <string>
#include <vector>

namespace korvu::enc::e2e {

// How a program run ended and what it wrote.
struct RunResult {
  int status = -1;  // exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;

  std::vector<std::string> ErrLines() const;
};

// Runs `args` (args[0] looked up on PATH unless it names a path) in the folder `dir`, with no
// input, capturing what it writes.
RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir);

// The korvu-enc program of this build.
std::string Encoder();

// Runs ffmpeg quietly in `dir` with `args` after "-y"; throws when ffmpeg fails.
void Ffmpeg(const std::string& dir, const std::vector<std::string>& args);

// One coded frame as ffprobe decodes it, in display order.
struct ProbedFrame {
  bool key = false;
  char type = '?';
  bool interlaced = false;
  bool top_field_first = false;
};
std::vector<ProbedFrame> ProbeFrames(const std::string& file);

// ffprobe's description of the first video stream: r_frame_rate, field_order, width, ...
std::map<std::string, std::string> ProbeStream(const std::string& file);

// The longest run of B frames and the longest distance between key frames.
int LongestBRun(const std::vector<ProbedFrame>& frames);
int LongestKeyframeDistance(const std::vector<ProbedFrame>& frames);

}  // namespace korvu::enc::e2e
