// Two-pass encodes of clips that ffmpeg makes at test time, run through the real korvu-enc and
// checked with ffprobe.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/encoder/e2e_support.h"
#include "tests/support/temp_dir.h"

namespace korvu::enc::e2e {
namespace {

using testing::HasSubstr;

enum class Clip { kProgressive, kInterlaced };

class EncodeTest : public testing::Test {
 protected:
  // Two seconds at 25 fps with sound: MPEG-4 Part 2, the usual content of an AVI file.
  std::string ProgressiveClip() {
    Ffmpeg(dir_.path(),
           {"-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=2", "-f", "lavfi", "-i", "sine=d=2",
            "-c:v", "mpeg4", "-q:v", "3", "-c:a", "pcm_s16le", "clip.avi"});
    return "clip.avi";
  }

  // Fifty fields a second woven into 25 interlaced frames, 4:2:2 as capture cards give them.
  std::string InterlacedClip() {
    Ffmpeg(dir_.path(), {"-f", "lavfi", "-i", "testsrc2=s=160x120:r=50:d=2", "-f", "lavfi", "-i",
                         "sine=d=2", "-vf", "tinterlace=mode=interleave_top,format=yuv422p", "-c:v",
                         "huffyuv", "-c:a", "pcm_s16le", "interlaced.avi"});
    return "interlaced.avi";
  }

  RunResult Pass(int pass, const std::string& clip, const std::vector<std::string>& options) {
    std::vector<std::string> args = {Encoder(), "-npass", std::to_string(pass), "-i", clip,
                                     "-o",      "out.264"};
    args.insert(args.end(), options.begin(), options.end());
    return RunProgram(args, dir_.path());
  }

  // Both passes; the path of the stream.
  std::string Encode(const std::string& clip, const std::vector<std::string>& options) {
    for (int pass : {1, 2}) {
      const RunResult result = Pass(pass, clip, options);
      EXPECT_EQ(result.status, 0) << "pass " << pass << ": " << result.err;
    }
    return dir_ / "out.264";
  }

  test::TempDir dir_;
};

struct StreamCase {
  const char* name;
  Clip clip;
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
  std::vector<std::string> options = {"-br", "600"};
  options.insert(options.end(), c.options.begin(), c.options.end());
  const std::string out =
      Encode(c.clip == Clip::kProgressive ? ProgressiveClip() : InterlacedClip(), options);

  const auto stream = ProbeStream(out);
  EXPECT_EQ(stream.at("r_frame_rate"), c.rate);
  EXPECT_EQ(stream.at("field_order"), c.field_order);
  const std::vector<ProbedFrame> frames = ProbeFrames(out);
  EXPECT_EQ(frames.size(), c.frames);
  EXPECT_LE(LongestKeyframeDistance(frames), c.keyint);
  EXPECT_LE(LongestBRun(frames), c.b_frames);
  EXPECT_GE(LongestBRun(frames), 1) << "no B frames: the limit was not put to the test";
  const bool interlaced = std::string(c.field_order) != "progressive";
  for (const ProbedFrame& frame : frames) {
    ASSERT_EQ(frame.interlaced, interlaced);
    if (interlaced) {
      ASSERT_EQ(frame.top_field_first, std::string(c.field_order) == "tt");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, StreamTest,
    testing::Values(StreamCase{"Balanced",
                               Clip::kProgressive,
                               {"-aqo", "1", "-I", "1", "-ref", "2", "-bf", "2"},
                               50,
                               "25/1",
                               "progressive",
                               25,
                               2},
                    StreamCase{"FastOneBFrame",
                               Clip::kProgressive,
                               {"-aqo", "0", "-I", "1", "-bf", "1"},
                               50,
                               "25/1",
                               "progressive",
                               25,
                               1},
                    StreamCase{"HighestWithPyramid",
                               Clip::kProgressive,
                               {"-aqo", "2", "-I", "1", "-bf", "3", "-pyramid"},
                               50,
                               "25/1",
                               "progressive",
                               25,
                               3},
                    StreamCase{"StrictBReferences",
                               Clip::kProgressive,
                               {"-I", "1", "-bf", "3", "-bref"},
                               50,
                               "25/1",
                               "progressive",
                               25,
                               3},
                    StreamCase{"FrameLimit",
                               Clip::kProgressive,
                               {"-I", "1", "-frames", "30"},
                               30,
                               "25/1",
                               "progressive",
                               25,
                               2},
                    // The rate changes, the frames stay: none dropped, none repeated.
                    StreamCase{"NtscRateAsDecimal",
                               Clip::kProgressive,
                               {"-I", "1", "-fps", "29.97"},
                               50,
                               "30000/1001",
                               "progressive",
                               30,
                               2},
                    StreamCase{"FilmRateAsFraction",
                               Clip::kProgressive,
                               {"-I", "1", "-fps", "24000/1001", "-threads", "1"},
                               50,
                               "24000/1001",
                               "progressive",
                               24,
                               2},
                    StreamCase{"TopFieldFirst",
                               Clip::kInterlaced,
                               {"-I", "1", "-tff", "-fmode", "1"},
                               50,
                               "25/1",
                               "tt",
                               25,
                               2},
                    StreamCase{"BottomFieldFirstPaff",
                               Clip::kInterlaced,
                               {"-I", "1", "-bff", "-fmode", "2", "-bf", "3", "-pyramid"},
                               50,
                               "25/1",
                               "bb",
                               25,
                               3}),
    [](const testing::TestParamInfo<StreamCase>& info) { return info.param.name; });

class BitrateTest : public EncodeTest, public testing::WithParamInterface<int> {};

// Ten seconds of detailed pictures, so that rate control has room to meet its target.
TEST_P(BitrateTest, MeetsTheAverageWithinTenPercent) {
  Ffmpeg(dir_.path(), {"-f", "lavfi", "-i", "testsrc2=s=320x240:r=25:d=10", "-c:v", "mpeg4", "-q:v",
                       "2", "detail.avi"});
  const int bitrate = GetParam();
  const std::string out = Encode("detail.avi", {"-br", std::to_string(bitrate), "-I", "2"});
  const size_t frames = ProbeFrames(out).size();
  ASSERT_EQ(frames, 250u);
  const double kbits = std::filesystem::file_size(out) * 8.0 * 25 / frames / 1000;
  EXPECT_NEAR(kbits, bitrate, bitrate * 0.10);
}

INSTANTIATE_TEST_SUITE_P(Targets, BitrateTest, testing::Values(250, 900));

TEST_F(EncodeTest, PassOneWritesTheStatisticsAndNoOutput) {
  const RunResult result = Pass(1, ProgressiveClip(), {"-br", "600"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("pass 1 done: 50 frames"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "divx264_stat.dat"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "divx264_stat.dat.mbtree"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.264"));
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    EXPECT_THAT(entry.path().string(), testing::Not(HasSubstr("part")));
}

TEST_F(EncodeTest, StatisticsGoWhereTheyAreTold) {
  const std::string clip = ProgressiveClip();
  std::filesystem::create_directory(dir_ / "stats folder");
  Encode(clip, {"-br", "600", "-sf", "stats folder/first pass.log"});
  EXPECT_TRUE(std::filesystem::exists(dir_ / "stats folder/first pass.log"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "out.264"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "divx264_stat.dat"));
}

TEST_F(EncodeTest, PassTwoReportsWhatItWrote) {
  const std::string out = Encode(ProgressiveClip(), {"-br", "600"});
  const RunResult again = Pass(2, "clip.avi", {"-br", "600"});
  EXPECT_THAT(again.out, HasSubstr("pass 2 done: 50 frames, "));
  EXPECT_THAT(again.out,
              HasSubstr(std::to_string(std::filesystem::file_size(out)) + " bytes in out.264"));
  EXPECT_EQ(again.err, "");
}

TEST_F(EncodeTest, FieldPicturesFallBackToMbaffWithOneNotice) {
  const std::string clip = InterlacedClip();
  for (int pass : {1, 2}) {
    const RunResult result = Pass(pass, clip, {"-br", "600", "-bff", "-fmode", "2"});
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.ErrLines(),
                testing::ElementsAre("korvu-enc: -fmode 2: libx264 cannot code field pictures "
                                     "(PAFF); coding MBAFF instead"));
  }
}

TEST_F(EncodeTest, FramesTheContainerMarksAsDroppedAreRepeated) {
  // ffmpeg writes an empty chunk for each missing timestamp: frames 10 to 14 are dropped.
  Ffmpeg(dir_.path(), {"-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=2", "-vf",
                       "select='not(between(n,10,14))'", "-fps_mode", "passthrough", "-c:v",
                       "mpeg4", "dropped.avi"});
  EXPECT_EQ(ProbeFrames(Encode("dropped.avi", {"-br", "600"})).size(), 50u);
}

TEST_F(EncodeTest, FramesDroppedAtTheEndAreRepeated) {
  // A capture that dropped its last three frames lists them in its header, with no chunk left.
  std::string avi = test::ReadFile(dir_ / ProgressiveClip());
  const size_t header = avi.find("strh") + 8;
  const size_t length = header + 32;  // dwLength of the video stream
  ASSERT_EQ(avi.substr(header, 4), "vids");
  ASSERT_EQ(static_cast<uint8_t>(avi[length]), 50);
  avi[length] = 53;
  dir_.Write("clip.avi", avi);
  EXPECT_EQ(ProbeFrames(Encode("clip.avi", {"-br", "600"})).size(), 53u);
}

// Lines alternate between two colours that differ in Cr only, even lines in the top field. Coded
// field by field, every chroma line of the 4:2:0 result keeps its field's colour; converted as
// one picture, the two would average out.
TEST_F(EncodeTest, InterlacedChromaStaysInItsField) {
  Ffmpeg(dir_.path(), {"-f", "lavfi", "-i", "color=gray:s=64x64:r=25:d=1", "-vf",
                       "format=yuv422p,geq=lum=128:cb=128:cr='if(mod(Y,2),64,192)'", "-c:v",
                       "huffyuv", "stripes.avi"});
  Encode("stripes.avi", {"-br", "3000", "-tff", "-fmode", "1"});
  Ffmpeg(dir_.path(),
         {"-i", "out.264", "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "yuv420p", "frame.yuv"});
  const std::string frame = test::ReadFile(dir_ / "frame.yuv");
  ASSERT_EQ(frame.size(), 64u * 64 * 3 / 2);
  const size_t cr_plane = 64 * 64 + 32 * 32;
  for (size_t row = 0; row < 32; ++row) {
    int sum = 0;
    for (size_t x = 0; x < 32; ++x) sum += static_cast<uint8_t>(frame[cr_plane + row * 32 + x]);
    const int mean = sum / 32;
    if (row % 2 == 0)
      EXPECT_GT(mean, 170) << "chroma row " << row;
    else
      EXPECT_LT(mean, 86) << "chroma row " << row;
  }
}

}  // namespace
}  // namespace korvu::enc::e2e
