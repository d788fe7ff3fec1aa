#include "encoder/stats_files.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "encoder/error.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc {
namespace {

// Two frames as x264 notes them: an I frame and a B frame that no other frame refers to.
constexpr const char* kStats =
    "#options: 32x16 bframes=2 mbtree=1\n"
    "in:0 out:0 type:I dur:2 cpbdur:2 q:69.00 tex:43 mv:100 misc:6400 imb:2 pmb:0 smb:0 d:- ref:;\n"
    "in:1 out:1 type:b dur:2 cpbdur:2 q:69.00 tex:0 mv:0 misc:96 imb:0 pmb:0 smb:2 d:- ref:0 ;\n";

// A 32x16 picture: two macroblocks, so a side-file record is 1 + 2 * 2 bytes.
x264_param_t Settings(bool mb_tree) {
  x264_param_t param;
  x264_param_default(&param);
  param.i_width = 32;
  param.i_height = 16;
  param.rc.b_mb_tree = mb_tree;
  return param;
}

TEST(StatsTotalsTest, SumsWhatRateControlReads) {
  const StatsTotals totals = CountEntries(std::string(kStats).substr(35));
  EXPECT_EQ(totals.frames, 2);
  EXPECT_EQ(totals.reference_frames, 1);
  EXPECT_EQ(totals.ticks, 4);
  EXPECT_EQ(totals.header_bits, 6496u);
}

// Two frames at 25 fps are 0.08 s: 6496 header bits need 81.2 kbit/s.
TEST(StatsTotalsTest, RefusesABitrateBelowTheHeaders) {
  const StatsTotals totals = CountEntries(std::string(kStats).substr(35));
  EXPECT_NO_THROW(CheckBitrate(totals, {25, 1}, 82));
  try {
    CheckBitrate(totals, {25, 1}, 81);
    ADD_FAILURE() << "81 kbit/s accepted";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(),
                 "-br: 81 is too low for this video: its headers alone need 82 kbit/s; give at "
                 "least that");
  }
}

struct Written {
  const char* name;
  std::string stats;
  const char* side;  // null: none
  bool mb_tree;
  bool whole;
};

void PrintTo(const Written& w, std::ostream* os) {
  *os << w.name;
}

class StatsOutputTest : public testing::TestWithParam<Written> {};

// x264 does not notice when the end of its files cannot be written as it closes them, on a full
// disk: what is short must not get its name, and what is whole must.
TEST_P(StatsOutputTest, NamesOnlyWholeStatistics) {
  const Written& w = GetParam();
  test::TempDir dir;
  dir.Write("s.dat.mbtree", "stale");
  {
    StatsOutput stats(dir / "s.dat");
    // As x264 leaves them when it closes.
    std::filesystem::rename(dir / "s.dat.part.temp", dir / "s.dat.part");
    dir.Write("s.dat.part", w.stats);
    if (w.side != nullptr) dir.Write("s.dat.part.mbtree", w.side);
    if (w.whole) {
      EXPECT_EQ(stats.Verify(2, Settings(w.mb_tree)).frames, 2);
      stats.Commit();
    } else {
      EXPECT_THROW(stats.Verify(2, Settings(w.mb_tree)), Error);
    }
  }
  std::vector<std::string> expected = {"s.dat.mbtree"};
  if (w.whole)
    expected = w.side ? std::vector<std::string>{"s.dat", "s.dat.mbtree"}
                      : std::vector<std::string>{"s.dat"};
  EXPECT_EQ(test::Listing(dir.path()), expected);
  if (w.whole && w.side != nullptr) {
    EXPECT_EQ(test::ReadFile(dir / "s.dat.mbtree"), w.side);
  }
}

const std::string kCut = std::string(kStats).substr(0, std::string(kStats).size() - 30);
const std::string kNoLastLineEnd = std::string(kStats).substr(0, std::string(kStats).size() - 1);

INSTANTIATE_TEST_SUITE_P(
    Files, StatsOutputTest,
    testing::Values(Written{"Whole", kStats, "I1234", true, true},
                    // A keyframe every frame: no side file, and the stale one goes.
                    Written{"WholeWithoutSideFile", kStats, nullptr, false, true},
                    Written{"LostAFrame", kCut, "I1234", true, false},
                    Written{"LostTheLastLineEnd", kNoLastLineEnd, "I1234", true, false},
                    Written{"SideFileCut", kStats, "I12", true, false},
                    Written{"SideFileMissing", kStats, nullptr, true, false}),
    [](const testing::TestParamInfo<Written>& info) { return info.param.name; });

}  // namespace
}  // namespace korvu::enc
