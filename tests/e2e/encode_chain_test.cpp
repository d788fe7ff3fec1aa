// A job encoded the way the window does it, with nothing faked but the window and the console:
// the job writes its two-pass script, korvu-cmd runs it in the job's folder, korvu-enc encodes.
#include <gtest/gtest.h>

#include <filesystem>

#include "job/job_script.h"
#include "tests/encoder/e2e_support.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

using enc::e2e::RunResult;

class EncodeChainTest : public testing::Test {
 protected:
  void SetUp() override {
    // A name that the command interpreter would split or run pieces of, were it not quoted.
    clip_ = dir_ / "My Clips/Tom & Jerry (100%).avi";
    std::filesystem::create_directories(dir_ / "My Clips");
    enc::e2e::Ffmpeg(dir_.path(), {"-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=2", "-c:v",
                                   "mpeg4", "-q:v", "4", clip_});
    JobSettings& s = job_.Settings();
    s.Encoder.SetText(enc::e2e::Encoder());
    s.Input.SetText(rules_.PathText(clip_));  // as a file dialog sets it; Output follows
    s.Threads.SetMax(4);
    s.Threads.SetValue(2);
    s.Bitrate.SetText("300");
    s.SourceType.SetIndex(1);
    s.MBAFF.SetValue(true);
    s.Pyramide.SetValue(true);
    job_.SetFParamsLive(true);
    job_.UpdateParams();
  }

  // Runs the script as the console would, in the job's folder, with no one at the keyboard.
  EncodeHooks Hooks() {
    const auto nothing = [] {};
    return {nothing, nothing,
            [this](const std::string& command_line, std::uint16_t) {
              const std::string script = command_line.substr(1, command_line.size() - 2);
              console_ = enc::e2e::RunProgram({KORVU_CMD, script}, dir_.path());
              return console_.status;
            },
            nothing};
  }

  test::TempDir dir_;
  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job job_{rules_};
  std::string clip_;
  RunResult console_;
};

TEST_F(EncodeChainTest, BothPassesMakeTheStream) {
  ASSERT_TRUE(job_.EncodeEnabled()) << job_.Preview();
  const std::string output = dir_ / "My Clips/Tom & Jerry (100%).264";
  EXPECT_EQ(job_.Settings().Output.Text(), "\"" + output + "\"");

  RunEncode(job_, dir_ / "Korvu", Hooks());

  EXPECT_EQ(console_.status, 0) << console_.err;
  EXPECT_NE(console_.out.find("\a"), std::string::npos);
  EXPECT_NE(console_.out.find("Press any key to continue"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "divx264_stat.dat"));  // in the console's folder
  const auto frames = enc::e2e::ProbeFrames(output);
  ASSERT_EQ(frames.size(), 50u);
  EXPECT_TRUE(frames.front().interlaced);
  EXPECT_TRUE(frames.front().top_field_first);
  EXPECT_TRUE(job_.EncodeEnabled());
}

TEST_F(EncodeChainTest, AFailedFirstPassSkipsTheSecond) {
  job_.Settings().EncQuality.SetIndex(-1);  // korvu-enc refuses -aqo -1
  RunEncode(job_, dir_ / "Korvu", Hooks());
  EXPECT_NE(console_.err.find("-aqo"), std::string::npos) << console_.err;
  EXPECT_NE(console_.out.find("Press any key to continue"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "My Clips/Tom & Jerry (100%).264"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "divx264_stat.dat"));
}

}  // namespace
}  // namespace korvu::job
