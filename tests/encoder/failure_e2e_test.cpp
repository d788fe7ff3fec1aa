// Failures of korvu-enc that only an ordinary user meets: files and folders without access, and
// a full disk. Registered to run as "nobody" (tests/run-unprivileged), with the small disk it
// names in KORVU_TEST_SMALL_DISK. Clips are made at run time.

#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/encoder/e2e_support.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc::e2e {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

class UnprivilegedFailureTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(geteuid(), 0u) << "run me through tests/run-unprivileged, as an ordinary user";
  }

  void MakeClip(const std::string& size, int seconds) {
    Ffmpeg(dir_.path(),
           {"-f", "lavfi", "-i", "testsrc2=s=" + size + ":r=25:d=" + std::to_string(seconds),
            "-c:v", "mpeg4", "clip.avi"});
  }

  RunResult Pass(int pass, const std::vector<std::string>& options) {
    std::vector<std::string> args = {Encoder(), "-npass",  std::to_string(pass), "-br", "400",
                                     "-i",      "clip.avi"};
    args.insert(args.end(), options.begin(), options.end());
    return RunProgram(args, dir_.path());
  }

  std::string SmallDisk() {
    const char* disk = std::getenv("KORVU_TEST_SMALL_DISK");
    if (disk == nullptr) ADD_FAILURE() << "KORVU_TEST_SMALL_DISK must name a small, empty disk";
    return disk == nullptr ? "" : disk;
  }

  test::TempDir dir_;
};

TEST_F(UnprivilegedFailureTest, InputWithoutReadAccess) {
  MakeClip("160x120", 1);
  fs::permissions(dir_ / "clip.avi", fs::perms::none);
  const RunResult result = Pass(1, {});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.ErrLines(),
              ElementsAre("korvu-enc: clip.avi: cannot be opened (Permission denied)"));
  EXPECT_FALSE(fs::exists(dir_ / "divx264_stat.dat"));
}

TEST_F(UnprivilegedFailureTest, FoldersWithoutWriteAccess) {
  MakeClip("160x120", 1);
  fs::create_directory(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  RunResult result = Pass(1, {"-sf", "locked/s.dat"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.ErrLines(),
              ElementsAre("korvu-enc: locked/s.dat: cannot be written (Permission denied)"));

  ASSERT_EQ(Pass(1, {}).status, 0);
  result = Pass(2, {"-o", "locked/out.264"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.ErrLines(),
              ElementsAre("korvu-enc: locked/out.264: cannot be written (Permission denied)"));
  EXPECT_TRUE(fs::is_empty(dir_ / "locked"));
}

TEST_F(UnprivilegedFailureTest, OutputOnAFullDisk) {
  const std::string disk = SmallDisk();
  MakeClip("160x120", 2);
  ASSERT_EQ(Pass(1, {}).status, 0);
  const std::string out = disk + "/out.264";
  const RunResult result = Pass(2, {"-o", out});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.ErrLines(),
              ElementsAre("korvu-enc: " + out + ": cannot be written (No space left on device)"));
  EXPECT_TRUE(fs::is_empty(disk));
}

TEST_F(UnprivilegedFailureTest, StatisticsOnAFullDisk) {
  const std::string disk = SmallDisk();
  MakeClip("640x480", 3);  // a side file of some 100 kB
  const RunResult result = Pass(1, {"-sf", disk + "/s.dat"});
  EXPECT_EQ(result.status, 1);
  ASSERT_EQ(result.ErrLines().size(), 1u) << result.err;
  EXPECT_THAT(result.ErrLines()[0], testing::StartsWith("korvu-enc: " + disk + "/s.dat: cannot "));
  EXPECT_TRUE(fs::is_empty(disk));
}

}  // namespace
}  // namespace korvu::enc::e2e
