#include "encoder/progress.h"

#include <gtest/gtest.h>

namespace korvu::enc {
namespace {

PassState State(int64_t frames, int64_t total, uint64_t bytes, double seconds) {
  PassState state;
  state.pass = 2;
  state.frames = frames;
  state.coded = frames;
  state.total = total;
  state.bytes = bytes;
  state.seconds = seconds;
  state.frame_rate = {25, 1};
  return state;
}

TEST(ProgressLineTest, ShowsShareBitrateAndTimeLeft) {
  // 100 frames at 25 fps are 4 s; 500000 bytes in 4 s are 1000 kb/s.
  EXPECT_EQ(ProgressLine(State(100, 250, 500000, 2)),
            "pass 2: 100/250 frames (40%), 50.0 fps, 1000 kb/s, 0:00:02 elapsed, 0:00:03 left");
}

TEST(ProgressLineTest, LeavesOutWhatAnUnknownTotalCannotGive) {
  EXPECT_EQ(ProgressLine(State(100, 0, 500000, 2)),
            "pass 2: 100 frames, 50.0 fps, 1000 kb/s, 0:00:02 elapsed");
  // An estimate that the video outgrows is no total either.
  EXPECT_EQ(ProgressLine(State(300, 250, 1500000, 6)),
            "pass 2: 300 frames, 50.0 fps, 1000 kb/s, 0:00:06 elapsed");
}

// x264 holds frames back: the bitrate so far is that of the frames it has handed back.
TEST(ProgressLineTest, TakesTheBitrateFromCodedFrames) {
  PassState state = State(150, 250, 500000, 3);
  state.coded = 100;
  EXPECT_EQ(ProgressLine(state),
            "pass 2: 150/250 frames (60%), 50.0 fps, 1000 kb/s, 0:00:03 elapsed, 0:00:02 left");
}

TEST(ProgressLineTest, StartsWithoutDividingByZero) {
  EXPECT_EQ(ProgressLine(State(0, 250, 0, 0)),
            "pass 2: 0/250 frames (0%), 0.0 fps, 0 kb/s, 0:00:00 elapsed");
}

TEST(ProgressLineTest, CountsHoursOnTheClock) {
  EXPECT_EQ(ProgressLine(State(90000, 180000, 0, 3725)),
            "pass 2: 90000/180000 frames (50%), 24.2 fps, 0 kb/s, 1:02:05 elapsed, 1:02:05 left");
}

TEST(SummaryLineTest, GivesTheAverageBitrate) {
  EXPECT_EQ(SummaryLine(State(250, 250, 1250000, 5)),
            "250 frames, 1000.0 kb/s, 0:00:05 (50.0 fps)");
}

}  // namespace
}  // namespace korvu::enc
