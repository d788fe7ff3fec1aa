#include "encoder/same_file.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace korvu::enc {
namespace {

namespace fs = std::filesystem;

struct Names {
  const char* a;
  const char* b;
  bool same;
};

class SameFileTest : public testing::TestWithParam<Names> {
 protected:
  void SetUp() override {
    dir_.Write("clip.avi", "video");
    dir_.Write("other.avi", "video");
    fs::create_directory(dir_ / "sub");
    fs::create_hard_link(dir_ / "clip.avi", dir_ / "hard.avi");
    fs::create_symlink("clip.avi", dir_ / "link.avi");
    fs::create_directory_symlink("sub", dir_ / "sublink");
  }

  test::TempDir dir_;
};

TEST_P(SameFileTest, ComparesFilesNotSpellings) {
  EXPECT_EQ(SameFile(dir_ / GetParam().a, dir_ / GetParam().b), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SameFileTest,
    testing::Values(Names{"clip.avi", "clip.avi", true}, Names{"clip.avi", "./clip.avi", true},
                    Names{"sub/../clip.avi", "clip.avi", true}, Names{"hard.avi", "clip.avi", true},
                    Names{"link.avi", "clip.avi", true}, Names{"other.avi", "clip.avi", false},
                    // Not there yet: the folder's real name decides.
                    Names{"sublink/new.dat", "sub/new.dat", true},
                    Names{"sub/./new.dat", "sub/new.dat", true},
                    Names{"sub/new.dat", "new.dat", false}, Names{"new.dat", "clip.avi", false}));

}  // namespace
}  // namespace korvu::enc
