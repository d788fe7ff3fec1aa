// Failures of korvu-enc that only an ordinary user meets: files and folders without access, and
// a full disk. Registered to run as "nobody" (tests/run-unprivileged), with the small disk it
// names in KORVU_TEST_SMALL_DISK. Clips are made at run time.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/statvfs.h>
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
    ASSERT_NE(disk_, nullptr) << "KORVU_TEST_SMALL_DISK must name a small, empty disk";
  }

  void MakeClip(const std::string& size, int seconds) {
    Ffmpeg(dir_.path(),
           {"-f", "lavfi", "-i", "testsrc2=s=" + size + ":r=25:d=" + std::to_string(seconds),
            "-c:v", "mpeg4", "clip.avi"});
  }

  // One line on stderr, exit status 1.
  std::string Failure(int pass, const std::vector<std::string>& options) {
    std::vector<std::string> args = {Encoder(), "-npass",  std::to_string(pass), "-br", "400",
                                     "-i",      "clip.avi"};
    args.insert(args.end(), options.begin(), options.end());
    const RunResult result = RunProgram(args, dir_.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.ErrLines().size(), 1u) << result.err;
    return result.ErrLines().empty() ? "" : result.ErrLines()[0];
  }

  const char* disk_ = std::getenv("KORVU_TEST_SMALL_DISK");
  test::TempDir dir_;
};

TEST_F(UnprivilegedFailureTest, FilesAndFoldersWithoutAccess) {
  MakeClip("160x120", 1);
  fs::create_directory(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(Failure(1, {"-sf", "locked/s.dat"}),
            "korvu-enc: locked/s.dat: cannot be written (Permission denied)");
  ASSERT_EQ(
      RunProgram({Encoder(), "-npass", "1", "-br", "400", "-i", "clip.avi"}, dir_.path()).status,
      0);
  EXPECT_EQ(Failure(2, {"-o", "locked/out.264"}),
            "korvu-enc: locked/out.264: cannot be written (Permission denied)");
  EXPECT_TRUE(fs::is_empty(dir_ / "locked"));
  fs::permissions(dir_ / "clip.avi", fs::perms::none);
  EXPECT_EQ(Failure(1, {}), "korvu-enc: clip.avi: cannot be opened (Permission denied)");
}

TEST_F(UnprivilegedFailureTest, FullDisk) {
  MakeClip("640x480", 3);  // statistics of some 100 kB, a stream of 150 kB
  const std::string stats = std::string(disk_) + "/s.dat";
  EXPECT_EQ(Failure(1, {"-sf", stats}),
            "korvu-enc: " + stats + ": cannot be written (No space left on device)");
  EXPECT_TRUE(fs::is_empty(disk_));
  ASSERT_EQ(
      RunProgram({Encoder(), "-npass", "1", "-br", "400", "-i", "clip.avi"}, dir_.path()).status,
      0);
  const std::string out = std::string(disk_) + "/out.264";
  EXPECT_EQ(Failure(2, {"-o", out}),
            "korvu-enc: " + out + ": cannot be written (No space left on device)");
  EXPECT_TRUE(fs::is_empty(disk_));
}

// One block short of what the statistics need: x264 loses the end of a file as it closes it, or
// fails on a write before, and never says why; the disk does.
TEST_F(UnprivilegedFailureTest, NearlyFullDisk) {
  MakeClip("320x240", 2);
  ASSERT_EQ(
      RunProgram({Encoder(), "-npass", "1", "-br", "400", "-i", "clip.avi"}, dir_.path()).status,
      0);
  struct statvfs disk;
  ASSERT_EQ(statvfs(disk_, &disk), 0);
  const uintmax_t block = disk.f_frsize;
  uintmax_t needed = 0;
  for (const char* file : {"divx264_stat.dat", "divx264_stat.dat.mbtree"})
    needed += (fs::file_size(dir_ / file) + block - 1) / block * block;
  ASSERT_LT(needed, disk.f_bavail * block) << "the disk is too small for the test";
  const std::string filler = std::string(disk_) + "/filler";
  {
    std::ofstream file(filler, std::ios::binary);
    file << std::string(disk.f_bavail * block - needed + block, '\0');
  }
  const std::string stats = std::string(disk_) + "/s.dat";
  EXPECT_EQ(Failure(1, {"-sf", stats}),
            "korvu-enc: " + stats + ": cannot be written (No space left on device)");
  EXPECT_THAT(test::Listing(disk_), ElementsAre("filler"));
  fs::remove(filler);
}

}  // namespace
}  // namespace korvu::enc::e2e
