#pragma once

#include <string>

#include "job/job_settings.h"

namespace korvu::test {

// The worked example's job: threads 2 (the thread maximum raised to 4 first, as start-up does),
// bitrate 1500, interlaced top field first without MBAFF, pyramid on, the rest as a fresh job has
// it.
inline void SetUpWorkedExample(job::JobSettings& s, const std::string& encoder,
                               const std::string& input, const std::string& output) {
  s.Encoder.SetText(encoder);
  s.Input.SetText(input);
  s.Output.SetText(output);
  s.Threads.SetMax(4);
  s.Threads.SetValue(2);
  s.Bitrate.SetText("1500");
  s.SourceType.SetIndex(1);
  s.Pyramide.SetValue(true);
}

// Its parameter line with the Windows paths D:\clips\trip.avs and D:\clips\trip.264.
inline const std::string kWorkedExampleParams =
    R"( -threads 2 -br 1500 -tff -fmode 2 -aqo 1 -I 4 -ref 4 -bf 2 -pyramid)"
    R"( -i D:\clips\trip.avs -o D:\clips\trip.264)";

}  // namespace korvu::test
