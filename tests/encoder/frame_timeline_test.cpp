#include "encoder/frame_timeline.h"

#include <vector>

#include <gtest/gtest.h>

namespace korvu::enc {
namespace {

struct TimelineCase {
  const char* name;
  std::vector<int64_t> slots;
  std::vector<int64_t> copies;  // copies of the previous picture before each picture
  int64_t frames;
};

void PrintTo(const TimelineCase& c, std::ostream* os) {
  *os << c.name;
}

class FrameTimelineTest : public testing::TestWithParam<TimelineCase> {};

TEST_P(FrameTimelineTest, FillsGapsWithCopies) {
  FrameTimeline timeline(/*max_gap=*/250);
  std::vector<int64_t> copies;
  for (int64_t slot : GetParam().slots) copies.push_back(timeline.Place(slot));
  EXPECT_EQ(copies, GetParam().copies);
  EXPECT_EQ(timeline.FramesPlaced(), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, FrameTimelineTest,
    testing::Values(
        TimelineCase{"Steady", {0, 1, 2, 3}, {0, 0, 0, 0}, 4},
        TimelineCase{"DroppedFrames", {0, 1, 4, 5, 7}, {0, 0, 2, 0, 1}, 8},
        // A source that does not start at zero keeps its first picture as frame 0.
        TimelineCase{"LateStart", {10, 11, 13}, {0, 0, 1}, 4},
        // Pictures are never left out, whatever their timestamps say.
        TimelineCase{"SameSlotTwice", {0, 1, 1, 2, 3}, {0, 0, 0, 0, 0}, 5},
        TimelineCase{"NoTimestamps", {-1, -1, -1}, {0, 0, 0}, 3},
        TimelineCase{"TimestampsFromTheSecondOn", {-1, 0, 1, 5}, {0, 0, 0, 2}, 6},
        // A jump beyond the longest gap moves the grid on instead of filling minutes of copies.
        TimelineCase{"JumpInTimestamps", {0, 1, 100000, 100001, 100003}, {0, 0, 0, 0, 1}, 6}),
    [](const testing::TestParamInfo<TimelineCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvu::enc
