// Runs of the real korvu-enc that must fail: each ends with exit status 1 and one line on stderr
// that names the file or option and the reason, and leaves no output behind.

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/encoder/e2e_support.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc::e2e {
namespace {

using testing::HasSubstr;

void MakeClip(const test::TempDir& dir) {
  Ffmpeg(dir.path(), {"-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=2", "-f", "lavfi", "-i",
                      "sine=d=2", "-c:v", "mpeg4", "-c:a", "pcm_s16le", "clip.avi"});
}

void RunPassOne(const test::TempDir& dir, const std::vector<std::string>& options) {
  std::vector<std::string> args = {Encoder(), "-npass", "1", "-br", "500", "-i", "clip.avi"};
  args.insert(args.end(), options.begin(), options.end());
  if (RunProgram(args, dir.path()).status != 0) throw std::runtime_error("pass 1 failed");
}

void Truncate(const test::TempDir& dir, const std::string& name) {
  const std::string whole = test::ReadFile(dir / name);
  dir.Write(name, whole.substr(0, whole.size() * 2 / 5));
}

void MakeTruncatedClip(const test::TempDir& dir) {
  MakeClip(dir);
  Truncate(dir, "clip.avi");
}

void MakeNoise(const test::TempDir& dir) {
  std::mt19937 random(264);
  std::string noise(20000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  dir.Write("noise.avi", noise);
}

void MakeScript(const test::TempDir& dir) {
  dir.Write("clip.avs", "ColorBars()\n");
}

void MakeSoundOnly(const test::TempDir& dir) {
  Ffmpeg(dir.path(), {"-f", "lavfi", "-i", "sine=d=1", "tone.avi"});
}

// Pass 1 with `options`, for a pass 2 with others.
std::function<void(const test::TempDir&)> StatisticsWith(std::vector<std::string> options) {
  return [options](const test::TempDir& dir) {
    MakeClip(dir);
    RunPassOne(dir, options);
  };
}

struct FailingRun {
  const char* name;
  std::function<void(const test::TempDir&)> setup;
  std::vector<std::string> args;  // after the program's name
  const char* message;            // what the line says after "korvu-enc: "
};

void PrintTo(const FailingRun& c, std::ostream* os) {
  *os << c.name;
}

class FailingRunTest : public testing::TestWithParam<FailingRun> {};

TEST_P(FailingRunTest, SaysWhyInOneLineAndLeavesNoOutput) {
  test::TempDir dir;
  if (GetParam().setup) GetParam().setup(dir);
  const bool had_statistics = std::filesystem::exists(dir / "divx264_stat.dat");
  std::vector<std::string> args = {Encoder()};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());

  const RunResult result = RunProgram(args, dir.path());

  EXPECT_EQ(result.status, 1);
  ASSERT_EQ(result.ErrLines().size(), 1u) << result.err;
  EXPECT_THAT(result.ErrLines()[0], testing::StartsWith("korvu-enc: "));
  EXPECT_THAT(result.ErrLines()[0], HasSubstr(GetParam().message));
  EXPECT_FALSE(std::filesystem::exists(dir / "out.264"));
  EXPECT_EQ(std::filesystem::exists(dir / "divx264_stat.dat"), had_statistics);
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_THAT(entry.path().filename().string(), testing::Not(HasSubstr(".part")));
    EXPECT_THAT(entry.path().filename().string(), testing::Not(HasSubstr(".temp")));
  }
}

#define PASS1 "-npass", "1", "-br", "500"
#define PASS2 "-npass", "2", "-br", "500", "-o", "out.264"

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, FailingRunTest, testing::Values(
    FailingRun{"MissingInput", nullptr, {PASS1, "-i", "missing.avi"},
               "missing.avi: cannot be opened (No such file or directory)"},
    FailingRun{"TruncatedAvi", MakeTruncatedClip, {PASS1, "-i", "clip.avi"},
               "clip.avi: is truncated: "},
    FailingRun{"RandomBytes", MakeNoise, {PASS1, "-i", "noise.avi"},
               "noise.avi: is not a video file that FFmpeg can read"},
    FailingRun{"AviSynthScript", MakeScript, {PASS1, "-i", "clip.avs"},
               "clip.avs: is an AviSynth script, and AviSynth does not exist on this system"},
    FailingRun{"NoVideoStream", MakeSoundOnly, {PASS1, "-i", "tone.avi"},
               "tone.avi: has no video stream"},
    FailingRun{"InterlacedHeightNotDivisibleByFour",
               [](const test::TempDir& dir) {
                 Ffmpeg(dir.path(), {"-f", "lavfi", "-i", "testsrc2=s=160x122:d=1", "clip.avi"});
               },
               {PASS1, "-i", "clip.avi", "-tff", "-fmode", "1"},
               "clip.avi: has a picture height of 122; interlaced coding needs one divisible by 4"},
    FailingRun{"PictureTooWideForX264",
               [](const test::TempDir& dir) {
                 Ffmpeg(dir.path(), {"-f", "lavfi", "-i", "color=s=16400x16:d=0.04", "-c:v",
                                     "rawvideo", "-pix_fmt", "yuv420p", "clip.avi"});
               },
               {PASS1, "-i", "clip.avi"},
               "clip.avi: x264 refuses the settings: invalid width x height (16400x16)"},
    FailingRun{"UnknownOption", MakeClip, {PASS1, "-i", "clip.avi", "-quality", "2"},
               "-quality: unknown option"},
    FailingRun{"NoQualitySelected", MakeClip, {PASS1, "-i", "clip.avi", "-aqo", "-1"},
               "-aqo: -1 is not allowed; give 0, 1 or 2"},
    FailingRun{"GopOfZeroSeconds", MakeClip, {PASS1, "-i", "clip.avi", "-I", "0"},
               "-I: 0 is not allowed; give 1 to 4"},
    FailingRun{"StatisticsFolderMissing", MakeClip,
               {PASS1, "-i", "clip.avi", "-sf", "nowhere/stats.dat"},
               "nowhere/stats.dat: cannot be written (No such file or directory)"},
    FailingRun{"PassTwoWithoutStatistics", MakeClip, {PASS2, "-i", "clip.avi"},
               "divx264_stat.dat: cannot be read (No such file or directory); run -npass 1 first"},
    FailingRun{"PassTwoWithSomethingElseAsStatistics",
               [](const test::TempDir& dir) {
                 MakeClip(dir);
                 dir.Write("divx264_stat.dat", "frames=50\n");
               },
               {PASS2, "-i", "clip.avi"}, "divx264_stat.dat: holds no x264 statistics"},
    FailingRun{"PassTwoWithoutTheSideFile",
               [](const test::TempDir& dir) {
                 StatisticsWith({})(dir);
                 std::filesystem::remove(dir / "divx264_stat.dat.mbtree");
               },
               {PASS2, "-i", "clip.avi"},
               "divx264_stat.dat.mbtree: cannot be read (No such file or directory)"},
    FailingRun{"PassTwoWithDamagedStatistics",
               [](const test::TempDir& dir) {
                 StatisticsWith({})(dir);
                 std::string stats = test::ReadFile(dir / "divx264_stat.dat");
                 stats.replace(stats.find("type:P"), 6, "type:X");
                 dir.Write("divx264_stat.dat", stats);
               },
               {PASS2, "-i", "clip.avi"},
               "divx264_stat.dat: cannot be used (x264: statistics are damaged at line "},
    // x264 would refuse it only in pass 2, after all the work of pass 1.
    FailingRun{"PassOneWithABitrateBelowTheHeaders", MakeClip,
               {"-npass", "1", "-br", "1", "-i", "clip.avi"},
               "-br: 1 is too low for this video: its headers alone need "},
    FailingRun{"PassTwoWithABitrateBelowTheHeaders", StatisticsWith({}),
               {"-npass", "2", "-br", "1", "-i", "clip.avi", "-o", "out.264"},
               "-br: 1 is too low for this video: its headers alone need "},
    FailingRun{"PassTwoWithOtherBFrames", StatisticsWith({"-bf", "2"}),
               {PASS2, "-i", "clip.avi", "-bf", "3"},
               "divx264_stat.dat: was made with other settings (B frames, -bf: x264 bframes 2 "
               "there, 3 now); run -npass 1 again"},
    FailingRun{"PassTwoWithOtherQuality", StatisticsWith({"-aqo", "0"}),
               {PASS2, "-i", "clip.avi", "-aqo", "1"},
               "divx264_stat.dat: was made with other settings (quality, -aqo"},
    // Found half-way: the output begun must go.
    FailingRun{"PassTwoWithMoreFrames", StatisticsWith({"-frames", "30"}),
               {PASS2, "-i", "clip.avi"},
               "divx264_stat.dat: was made with other settings: 30 frames there, more now"},
    // Found once every frame is through: the output must still go.
    FailingRun{"PassTwoWithFewerFrames", StatisticsWith({}),
               {PASS2, "-i", "clip.avi", "-frames", "30"},
               "divx264_stat.dat: was made with other settings: 50 frames there, 30 now"},
    FailingRun{"PassTwoOnTruncatedInput",
               [](const test::TempDir& dir) {
                 StatisticsWith({})(dir);
                 Truncate(dir, "clip.avi");
               },
               {PASS2, "-i", "clip.avi"}, "clip.avi: is truncated: "},
    FailingRun{"OutputFolderMissing", StatisticsWith({}),
               {"-npass", "2", "-br", "500", "-i", "clip.avi", "-o", "nowhere/out.264"},
               "nowhere/out.264: cannot be written (No such file or directory)"},
    FailingRun{"OutputIsTheInput", StatisticsWith({}),
               {"-npass", "2", "-br", "500", "-i", "clip.avi", "-o", "./clip.avi"},
               "./clip.avi: is the same file as the input clip.avi; give -o another name"}),
    [](const testing::TestParamInfo<FailingRun>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace korvu::enc::e2e
