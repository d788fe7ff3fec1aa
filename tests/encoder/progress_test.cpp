#include "encoder/progress.h"

#include <gtest/gtest.h>

namespace korvu::enc {
namespace {

PassState State(int64_t frames, int64_t coded, int64_t total, uint64_t bytes, double seconds) {
  return {.pass = 2,
          .frames = frames,
          .total = total,
          .coded = coded,
          .bytes = bytes,
          .seconds = seconds,
          .frame_rate = {25, 1}};
}

TEST(ProgressLineTest, ShowsShareBitrateAndTimeLeft) {
  // x264 holds frames back: 500000 bytes for the 100 frames handed back, 4 s of video, are
  // 1000 kb/s.
  EXPECT_EQ(ProgressLine(State(150, 100, 250, 500000, 3)),
            "pass 2: 150/250 frames (60%), 50.0 fps, 1000 kb/s, 0:00:03 elapsed, 0:00:02 left");
}

TEST(ProgressLineTest, LeavesOutWhatAnUnknownTotalCannotGive) {
  EXPECT_EQ(ProgressLine(State(100, 100, 0, 500000, 2)),
            "pass 2: 100 frames, 50.0 fps, 1000 kb/s, 0:00:02 elapsed");
  // An estimate that the video outgrows is no total either.
  EXPECT_EQ(ProgressLine(State(300, 300, 250, 1500000, 3725)),
            "pass 2: 300 frames, 0.1 fps, 1000 kb/s, 1:02:05 elapsed");
}

TEST(ProgressLineTest, StartsWithoutDividingByZero) {
  EXPECT_EQ(ProgressLine(State(0, 0, 250, 0, 0)),
            "pass 2: 0/250 frames (0%), 0.0 fps, 0 kb/s, 0:00:00 elapsed");
}

}  // namespace
}  // namespace korvu::enc
