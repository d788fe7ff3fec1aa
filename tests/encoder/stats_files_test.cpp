#include "encoder/stats_files.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "encoder/error.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc {
namespace {

// x264 does not notice when the end of its statistics cannot be written at close, on a full
// disk: counted, they must not get their name.
TEST(StatsOutputTest, RefusesStatisticsThatLostFrames) {
  test::TempDir dir;
  {
    StatsOutput stats(dir / "s.dat");
    dir.Write("s.dat.part", "#options: 320x240 bframes=2\nin:0 out:0 type:I ref:;\nin:1 ou");
    dir.Write("s.dat.part.mbtree", "tree");
    EXPECT_THROW(stats.Commit(2), Error);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace korvu::enc
