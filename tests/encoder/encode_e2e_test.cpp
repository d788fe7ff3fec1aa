// Two-pass encodes of clips that ffmpeg makes at test time, run through the real korvu-enc and
// checked with ffprobe.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/encoder/e2e_support.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc::e2e {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

// Two seconds at 25 fps with sound. Progressive: MPEG-4 Part 2, the usual content of an AVI.
// Interlaced: fifty fields a second woven into frames, 4:2:2 as capture cards give them.
const std::vector<std::string> kProgressive = {"testsrc2=s=160x120:r=25:d=2", "-c:v", "mpeg4"};
const std::vector<std::string> kInterlaced = {"testsrc2=s=160x120:r=50:d=2", "-vf",
                                              "tinterlace=interleave_top,format=yuv422p", "-c:v",
                                              "huffyuv"};

class EncodeTest : public testing::Test {
 protected:
  void MakeClip(const std::vector<std::string>& video, const std::string& name = "clip.avi") {
    std::vector<std::string> args = {"-f", "lavfi", "-i", "sine=d=2", "-f", "lavfi", "-i"};
    args.insert(args.end(), video.begin(), video.end());
    args.insert(args.end(), {"-map", "1:v", "-map", "0:a", "-c:a", "pcm_s16le", name});
    Ffmpeg(dir_.path(), args);
  }

  RunResult Pass(int pass, std::vector<std::string> options, const std::string& clip = "clip.avi") {
    if (std::find(options.begin(), options.end(), "-br") == options.end())
      options.insert(options.end(), {"-br", "600"});
    options.insert(options.begin(),
                   {Encoder(), "-npass", std::to_string(pass), "-i", clip, "-o", "out.264"});
    return RunProgram(options, dir_.path());
  }

  std::string Encode(const std::vector<std::string>& options,
                     const std::string& clip = "clip.avi") {
    for (int pass : {1, 2}) {
      const RunResult result = Pass(pass, options, clip);
      EXPECT_EQ(result.status, 0) << "pass " << pass << ": " << result.err;
    }
    return dir_ / "out.264";
  }

  test::TempDir dir_;
};

struct StreamCase {
  const char* name;
  const std::vector<std::string>& clip;
  std::vector<std::string> options;
  size_t frames;
  const char* rate;
  const char* field_order;
  int keyint;
  int b_frames;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
  *os << c.name;
}

class StreamTest : public EncodeTest, public testing::WithParamInterface<StreamCase> {};

TEST_P(StreamTest, HasTheFramesAndStructureAsked) {
  const StreamCase& c = GetParam();
  MakeClip(c.clip);
  const std::string out = Encode(c.options);
  const auto stream = ProbeStream(out);
  EXPECT_EQ(stream.at("r_frame_rate"), c.rate);
  EXPECT_EQ(stream.at("field_order"), c.field_order);
  EXPECT_EQ(stream.at("level"), "40");
  const std::vector<ProbedFrame> frames = ProbeFrames(out);
  EXPECT_EQ(frames.size(), c.frames);
  EXPECT_LE(LongestKeyframeDistance(frames), c.keyint);
  EXPECT_LE(LongestBRun(frames), c.b_frames);
  EXPECT_GE(LongestBRun(frames), 1) << "no B frames: the limit was not put to the test";
  const std::string order = c.field_order;
  for (const ProbedFrame& frame : frames) {
    ASSERT_EQ(frame.interlaced, order != "progressive");
    ASSERT_EQ(frame.top_field_first, order == "tt");
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, StreamTest, testing::Values(
    StreamCase{"Balanced", kProgressive, {"-aqo", "1", "-I", "1", "-ref", "2", "-bf", "2"},
               50, "25/1", "progressive", 25, 2},
    StreamCase{"FastOneBFrame", kProgressive, {"-aqo", "0", "-I", "1", "-bf", "1"},
               50, "25/1", "progressive", 25, 1},
    StreamCase{"HighestWithPyramid", kProgressive, {"-aqo", "2", "-I", "1", "-bf", "3", "-pyramid"},
               50, "25/1", "progressive", 25, 3},
    StreamCase{"StrictBReferences", kProgressive, {"-I", "1", "-bf", "3", "-bref"},
               50, "25/1", "progressive", 25, 3},
    StreamCase{"FrameLimit", kProgressive, {"-I", "1", "-frames", "30"},
               30, "25/1", "progressive", 25, 2},
    // The rate changes, the frames stay: none dropped, none repeated.
    StreamCase{"NtscRateAsDecimal", kProgressive, {"-I", "1", "-fps", "29.97"},
               50, "30000/1001", "progressive", 30, 2},
    StreamCase{"FilmRateAsFraction", kProgressive, {"-I", "1", "-fps", "24000/1001", "-threads", "1"},
               50, "24000/1001", "progressive", 24, 2},
    StreamCase{"TopFieldFirst", kInterlaced, {"-I", "1", "-tff", "-fmode", "1"},
               50, "25/1", "tt", 25, 2},
    StreamCase{"BottomFieldFirstPaff", kInterlaced, {"-I", "1", "-bff", "-fmode", "2", "-bf", "3", "-pyramid"},
               50, "25/1", "bb", 25, 3}),
    [](const testing::TestParamInfo<StreamCase>& info) { return info.param.name; });
// clang-format on

class BitrateTest : public EncodeTest, public testing::WithParamInterface<int> {};

// Ten seconds of detailed pictures, so that rate control has room to meet its target.
TEST_P(BitrateTest, MeetsTheAverageWithinTenPercent) {
  Ffmpeg(dir_.path(), {"-f", "lavfi", "-i", "testsrc2=s=320x240:r=25:d=10", "-c:v", "mpeg4", "-q:v",
                       "2", "clip.avi"});
  const std::string out = Encode({"-br", std::to_string(GetParam()), "-I", "2"});
  const size_t frames = ProbeFrames(out).size();
  ASSERT_EQ(frames, 250u);
  EXPECT_NEAR(fs::file_size(out) * 8.0 * 25 / frames / 1000, GetParam(), GetParam() * 0.10);
}

INSTANTIATE_TEST_SUITE_P(Targets, BitrateTest, testing::Values(250, 900));

TEST_F(EncodeTest, EachPassWritesItsOwnFiles) {
  MakeClip(kProgressive);
  fs::create_directory(dir_ / "stats folder");
  const std::vector<std::string> stats = {"-sf", "stats folder/first pass.log"};
  RunResult pass = Pass(1, stats);
  ASSERT_EQ(pass.status, 0) << pass.err;
  EXPECT_THAT(pass.out, HasSubstr("pass 1 done: 50 frames"));
  EXPECT_TRUE(fs::exists(dir_ / "stats folder/first pass.log"));
  EXPECT_TRUE(fs::exists(dir_ / "stats folder/first pass.log.mbtree"));
  EXPECT_FALSE(fs::exists(dir_ / "out.264"));

  pass = Pass(2, stats);
  ASSERT_EQ(pass.status, 0) << pass.err;
  EXPECT_EQ(pass.err, "");
  EXPECT_THAT(pass.out,
              HasSubstr(std::to_string(fs::file_size(dir_ / "out.264")) + " bytes in out.264"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 3) << "files left over";
}

struct KeyframeEveryFrame {
  const char* name;
  std::vector<std::string> clip;
  std::vector<std::string> options;
  size_t frames;
};

void PrintTo(const KeyframeEveryFrame& c, std::ostream* os) {
  *os << c.name;
}

// x264 turns macroblock-tree rate control off with a keyframe every frame, and writes no side
// file: both passes do without it, and a side file of earlier statistics goes.
class KeyframeEveryFrameTest : public EncodeTest,
                               public testing::WithParamInterface<KeyframeEveryFrame> {};

TEST_P(KeyframeEveryFrameTest, EncodesWithoutSideFile) {
  MakeClip(GetParam().clip);
  dir_.Write("divx264_stat.dat.mbtree", "of other statistics");
  const std::vector<ProbedFrame> frames = ProbeFrames(Encode(GetParam().options));
  EXPECT_EQ(frames.size(), GetParam().frames);
  EXPECT_EQ(LongestKeyframeDistance(frames), 1);
  EXPECT_EQ(test::Listing(dir_.path()),
            (std::vector<std::string>{"clip.avi", "divx264_stat.dat", "out.264"}));
}

INSTANTIATE_TEST_SUITE_P(
    Rates, KeyframeEveryFrameTest,
    testing::Values(
        KeyframeEveryFrame{
            "OneFramePerSecond", {"testsrc2=s=160x120:r=1:d=2", "-c:v", "mpeg4"}, {"-I", "1"}, 2},
        KeyframeEveryFrame{
            "RelabelledToOneFramePerSecond", kProgressive, {"-fps", "1", "-I", "1"}, 50}),
    [](const testing::TestParamInfo<KeyframeEveryFrame>& info) { return info.param.name; });

TEST_F(EncodeTest, FieldPicturesFallBackToMbaffWithOneNotice) {
  MakeClip(kInterlaced);
  for (int pass : {1, 2}) {
    const RunResult result = Pass(pass, {"-bff", "-fmode", "2"});
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.ErrLines(),
                testing::ElementsAre("korvu-enc: -fmode 2: libx264 cannot code field pictures "
                                     "(PAFF); coding MBAFF instead"));
  }
}

TEST_F(EncodeTest, FramesTheContainerMarksAsDroppedAreRepeated) {
  // ffmpeg writes an empty chunk for each missing timestamp: frames 10 to 14 are dropped.
  MakeClip({"testsrc2=s=160x120:r=25:d=2", "-vf", "select='not(between(n,10,14))'", "-fps_mode",
            "passthrough", "-c:v", "mpeg4"});
  EXPECT_EQ(ProbeFrames(Encode({})).size(), 50u);
}

TEST_F(EncodeTest, FramesDroppedAtTheEndAreRepeated) {
  // A capture that dropped its last three frames lists them in its header, with no chunk left.
  MakeClip(kProgressive);
  std::string avi = test::ReadFile(dir_ / "clip.avi");
  const size_t length = avi.find("strh") + 8 + 32;  // dwLength of the video stream
  ASSERT_EQ(avi[length], 50);
  avi[length] = 53;
  dir_.Write("clip.avi", avi);
  EXPECT_EQ(ProbeFrames(Encode({})).size(), 53u);
}

// Lines alternate between two colours that differ in Cr only, even lines in the top field. Coded
// field by field, every chroma line of the 4:2:0 result keeps its field's colour; converted as
// one picture, the two would average out.
TEST_F(EncodeTest, InterlacedChromaStaysInItsField) {
  MakeClip({"color=gray:s=64x64:r=25:d=1", "-vf",
            "format=yuv422p,geq=lum=128:cb=128:cr='if(mod(Y,2),64,192)'", "-c:v", "huffyuv"});
  Encode({"-br", "3000", "-tff", "-fmode", "1"});
  Ffmpeg(dir_.path(), {"-i", "out.264", "-frames:v", "1", "-pix_fmt", "yuv420p", "frame.yuv"});
  const std::string frame = test::ReadFile(dir_ / "frame.yuv");
  ASSERT_EQ(frame.size(), 64u * 64 * 3 / 2);
  for (size_t row = 0; row < 32; ++row) {
    const auto cr = static_cast<uint8_t>(frame[64 * 64 + 32 * 32 + row * 32 + 16]);
    if (row % 2 == 0)
      EXPECT_GT(cr, 170) << "chroma row " << row;
    else
      EXPECT_LT(cr, 86) << "chroma row " << row;
  }
}

}  // namespace
}  // namespace korvu::enc::e2e
