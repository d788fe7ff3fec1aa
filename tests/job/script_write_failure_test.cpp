// Failures to write the job script on real files. It must run as an ordinary user, since root
// writes through any permission: tests/run-unprivileged takes care of that under CI.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "job/in_out_error.h"
#include "job/job_script.h"
#include "tests/support/example_job.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

class ScriptWriteFailureTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(geteuid(), 0u) << "runs as root, where permissions prove nothing";
    test::SetUpWorkedExample(job_.Settings(), dir_.Write("Enc/DivX264.exe", ""),
                             dir_.Write("clips/trip.avs", ""), dir_ / "clips/trip.264");
    job_.SetFParamsLive(true);
    job_.UpdateParams();
    ASSERT_TRUE(job_.EncodeEnabled());
  }

  // Runs the click for an executable at `executable`; returns the error's message.
  std::string EncodeFails(const std::string& executable, int code) {
    bool anything_done = false;
    const auto done = [&] { anything_done = true; };
    const EncodeHooks hooks{done, done,
                            [&](const std::string&, std::uint16_t) {
                              anything_done = true;
                              return 0;
                            },
                            done};
    try {
      RunEncode(job_, executable, hooks);
    } catch (const InOutError& error) {
      EXPECT_EQ(error.Code(), code);
      EXPECT_FALSE(anything_done);
      EXPECT_TRUE(job_.EncodeEnabled());
      return error.what();
    }
    ADD_FAILURE() << "the script was written";
    return {};
  }

  test::TempDir dir_;
  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job job_{rules_};
};

TEST_F(ScriptWriteFailureTest, FolderWithoutWriteAccess) {
  std::filesystem::create_directory(dir_ / "locked");
  chmod((dir_ / "locked").c_str(), 0555);
  EXPECT_EQ(EncodeFails(dir_ / "locked/Korvu", 5), "Dateizugriff verweigert");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "locked/Korvu.bat"));
}

TEST_F(ScriptWriteFailureTest, ReadOnlyScriptStaysAsItWas) {
  const std::string old = dir_.Write("Korvu.bat", "old");
  chmod(old.c_str(), 0444);
  EXPECT_EQ(EncodeFails(dir_ / "Korvu", 5), "Dateizugriff verweigert");
  EXPECT_EQ(test::ReadFile(old), "old");
}

TEST_F(ScriptWriteFailureTest, MissingFolder) {
  EXPECT_EQ(EncodeFails(dir_ / "missing/Korvu", 3), "Ungültiger Dateiname");
}

// A symbolic link planted in the script's place is not written through, whether its target exists
// or not.
TEST_F(ScriptWriteFailureTest, ALinkInTheScriptsPlaceIsRefused) {
  const std::string victim = dir_.Write("victim/kept", "mine");
  for (const std::string& target : {victim, dir_ / "victim/new"}) {
    SCOPED_TRACE(target);
    std::filesystem::remove(dir_ / "Korvu.bat");
    std::filesystem::create_symlink(target, dir_ / "Korvu.bat");
    EXPECT_EQ(EncodeFails(dir_ / "Korvu", 5), "Dateizugriff verweigert");
  }
  EXPECT_EQ(test::Listing(dir_ / "victim"), std::vector<std::string>{"kept"});
  EXPECT_EQ(test::ReadFile(victim), "mine");
}

// A full disk shows at the line that fills the buffer, or at the close for a script shorter than
// the buffer, where nothing reached the disk before.
TEST_F(ScriptWriteFailureTest, FullDisk) {
  for (const std::string& encoder : {job_.Settings().Encoder.Text(), std::string("e")}) {
    try {
      WriteJobScript("/dev/full", encoder, encoder == "e" ? "" : job_.FParams());
      ADD_FAILURE() << "written to a full disk: " << encoder;
    } catch (const InOutError& error) {
      EXPECT_EQ(error.Code(), 112);
    }
  }
}

}  // namespace
}  // namespace korvu::job
