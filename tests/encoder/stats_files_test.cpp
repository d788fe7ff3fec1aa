#include "encoder/stats_files.h"

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "encoder/error.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc {
namespace {

using test::TempDir;

constexpr const char* kHeader =
    "#options: 320x240 fps=25/1 timebase=1/25 bitdepth=8 cabac=1 ref=1 interlaced=0 bframes=2 "
    "b_pyramid=0 b_adapt=1 direct=1 weightp=2 keyint=100 rc_lookahead=40 mbtree=1\n";
constexpr const char* kThreeFrames =
    "in:0 out:0 type:I q:20.00 ref:;\nin:2 out:1 type:P ref:0 ;\nin:1 out:2 type:b ref:0 ;\n";

std::string ErrorOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

// The settings a pass 1 would note for the header above.
x264_param_t FirstPassSettings() {
  x264_param_t p;
  x264_param_default_preset(&p, "medium", nullptr);
  p.i_width = 320;
  p.i_height = 240;
  p.i_fps_num = 25;
  p.i_fps_den = 1;
  p.i_timebase_num = 1;
  p.i_timebase_den = 25;
  p.i_bframe = 2;
  p.i_bframe_pyramid = X264_B_PYRAMID_NONE;
  p.i_keyint_max = 100;
  return p;
}

TEST(ReadFirstPassStatsTest, ReadsSettingsAndCountsFrames) {
  TempDir dir;
  const std::string name = dir.Write("s.dat", std::string(kHeader) + kThreeFrames);
  dir.Write("s.dat.mbtree", "tree");
  const FirstPassStats stats = ReadFirstPassStats(name);
  EXPECT_EQ(stats.frames, 3);
  EXPECT_EQ(stats.settings.at("size"), "320x240");
  EXPECT_EQ(stats.settings.at("fps"), "25/1");
  EXPECT_EQ(stats.settings.at("keyint"), "100");
}

TEST(ReadFirstPassStatsTest, RefusesWhatPassOneDidNotLeave) {
  TempDir dir;
  const std::string missing = dir / "none.dat";
  EXPECT_EQ(ErrorOf([&] { ReadFirstPassStats(missing); }),
            missing + ": cannot be read (No such file or directory); run -npass 1 first");

  const std::string text = dir.Write("text.dat", "frames: 3\n;;;\n");
  EXPECT_EQ(ErrorOf([&] { ReadFirstPassStats(text); }),
            text + ": holds no x264 statistics; run -npass 1 again");

  const std::string empty = dir.Write("empty.dat", kHeader);
  dir.Write("empty.dat.mbtree", "tree");
  EXPECT_EQ(ErrorOf([&] { ReadFirstPassStats(empty); }),
            empty + ": holds no frames; run -npass 1 again");

  const std::string lonely = dir.Write("lonely.dat", std::string(kHeader) + kThreeFrames);
  EXPECT_EQ(ErrorOf([&] { ReadFirstPassStats(lonely); }),
            lonely + ".mbtree: cannot be read (No such file or directory); run -npass 1 first");
}

TEST(CheckSameSettingsTest, PassesTheSettingsOfTheFirstPass) {
  FirstPassStats stats;
  stats.settings = {{"size", "320x240"}, {"fps", "25/1"}, {"bframes", "2"}, {"keyint", "100"}};
  EXPECT_NO_THROW(CheckSameSettings(stats, FirstPassSettings(), "s.dat"));
}

TEST(CheckSameSettingsTest, NamesTheFirstSettingThatDiffers) {
  FirstPassStats stats;
  stats.settings = {{"size", "320x240"}, {"keyint", "50"}, {"bframes", "3"}};
  EXPECT_EQ(ErrorOf([&] { CheckSameSettings(stats, FirstPassSettings(), "s.dat"); }),
            "s.dat: was made with other settings (keyframe interval, -I: x264 keyint 50 there, "
            "100 now); run -npass 1 again");
  stats.settings = {{"interlaced", "tff"}};
  EXPECT_EQ(ErrorOf([&] { CheckSameSettings(stats, FirstPassSettings(), "s.dat"); }),
            "s.dat: was made with other settings (field order, -tff/-bff: x264 interlaced tff "
            "there, 0 now); run -npass 1 again");
}

TEST(StatsOutputTest, GivesBothFilesTheirNamesOnCommit) {
  TempDir dir;
  const std::string name = dir / "s.dat";
  StatsOutput stats(name);
  // What x264 leaves when it closes.
  ASSERT_EQ(std::string(stats.WorkingName()), name + ".part");
  dir.Write("s.dat.part", std::string(kHeader) + kThreeFrames);
  dir.Write("s.dat.part.mbtree", "tree");
  stats.Commit(3);
  EXPECT_EQ(test::ReadFile(name), std::string(kHeader) + kThreeFrames);
  EXPECT_EQ(test::ReadFile(name + ".mbtree"), "tree");
  EXPECT_FALSE(std::filesystem::exists(dir / "s.dat.part"));
}

TEST(StatsOutputTest, RefusesStatisticsThatLostFrames) {
  TempDir dir;
  const std::string name = dir / "s.dat";
  {
    StatsOutput stats(name);
    dir.Write("s.dat.part", std::string(kHeader) + "in:0 out:0 type:I q:20.00 ref:;\nin:2 ou");
    dir.Write("s.dat.part.mbtree", "tree");
    EXPECT_EQ(ErrorOf([&] { stats.Commit(3); }),
              name + ": could not be written whole; is the disk full?");
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(StatsOutputTest, RemovesWhatAFailedPassLeft) {
  TempDir dir;
  {
    StatsOutput stats(dir / "s.dat");
    dir.Write("s.dat.part", "stats");
    dir.Write("s.dat.part.mbtree.temp", "half a tree");
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(StatsOutputTest, RefusesAFolderItCannotWriteIn) {
  TempDir dir;
  const std::string name = dir / "no folder/s.dat";
  EXPECT_EQ(ErrorOf([&] { StatsOutput stats(name); }),
            name + ": cannot be written (No such file or directory)");
}

}  // namespace
}  // namespace korvu::enc
