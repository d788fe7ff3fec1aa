#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "job/job_settings.h"

namespace korvu::job {

// What one rebuild of the parameter line gives.
struct ParamLine {
  bool ready = false;  // the job can be encoded: "Encode" is enabled exactly then
  std::string
      params;  // the encoder's options without the program and the pass; begins with a blank
  std::string preview;      // the quoted encoder, a blank, then params
  std::string input_name;   // the file names of Input and Output that the line passes; kept here
  std::string output_name;  // so that a rebuild reuses their buffers
};

// Builds the parameter line from the job's current values. The job is ready when the file names of
// Input, Output, Encoder and Stats are not empty, Input and Encoder name existing files and the
// bitrate is above 0. The options follow the encoder's option table, in its order, each preceded by
// one blank and each value by one blank. Path values go in as AppendCommandLineArgument gives them;
// the statistics name goes in lower case in the Windows path style only.
ParamLine BuildParamLine(const JobSettings& job);
// The same into `line`, reusing its buffers.
void BuildParamLine(const JobSettings& job, ParamLine& line);

// One reason why a job is not ready: the settings key of the value at fault and what is wrong
// with it, in plain English ("no file name", "no such file: NAME", "must be above 0").
struct NotReadyReason {
  std::string_view key;
  std::string problem;

  friend bool operator==(const NotReadyReason&, const NotReadyReason&) = default;
};

// Every reason why `job` is not ready, in the order of the readiness rule: Input, Output, Encoder
// and Stats without a file name; Input and Encoder naming no existing file (only when they have a
// file name); a bitrate of 0. Empty exactly when the job is ready.
std::vector<NotReadyReason> NotReadyReasons(const JobSettings& job);

}  // namespace korvu::job
