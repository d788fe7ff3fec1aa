#include "encoder/options.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "encoder/error.h"

namespace korvu::enc {
namespace {

Options Parse(std::vector<std::string_view> args) {
  return ParseCommandLine(args);
}

TEST(ParseCommandLineTest, ReadsEveryOptionOfTheWindowsLine) {
  const Options o =
      Parse({"-npass", "1",    "-sf",      "my stats.dat", "-threads",    "4",    "-br",
             "1500",   "-fps", "29.97",    "-frames",      "100",         "-tff", "-fmode",
             "1",      "-aqo", "2",        "-I",           "3",           "-ref", "2",
             "-bf",    "3",    "-pyramid", "-i",           "in clip.avi", "-o",   "out clip.264"});
  EXPECT_EQ(o.pass, 1);
  EXPECT_EQ(o.stats, "my stats.dat");
  EXPECT_EQ(o.threads, 4);
  EXPECT_EQ(o.bitrate, 1500);
  EXPECT_EQ(o.fps, (Rational{30000, 1001}));
  EXPECT_EQ(o.max_frames, 100);
  EXPECT_EQ(o.field_order, FieldOrder::kTopFirst);
  EXPECT_EQ(o.field_mode, 1);
  EXPECT_EQ(o.quality, 2);
  EXPECT_EQ(o.gop_seconds, 3);
  EXPECT_EQ(o.ref_frames, 2);
  EXPECT_EQ(o.b_frames, 3);
  EXPECT_TRUE(o.pyramid);
  EXPECT_FALSE(o.b_ref);
  EXPECT_EQ(o.input, "in clip.avi");
  EXPECT_EQ(o.output, "out clip.264");
}

TEST(ParseCommandLineTest, TakesOptionsInAnyOrder) {
  const Options o = Parse({"-o", "out.264", "-bref", "-bff", "-i", "in.avi", "-fmode", "2", "-br",
                           "700", "-npass", "2"});
  EXPECT_EQ(o.pass, 2);
  EXPECT_EQ(o.field_order, FieldOrder::kBottomFirst);
  EXPECT_EQ(o.field_mode, 2);
  EXPECT_TRUE(o.b_ref);
  EXPECT_EQ(o.bitrate, 700);
}

TEST(ParseCommandLineTest, LeftOutOptionsTakeTheWindowsDefaults) {
  const Options o = Parse({"-npass", "2", "-br", "700", "-i", "in.avi", "-o", "out.264"});
  EXPECT_EQ(o.stats, "divx264_stat.dat");
  EXPECT_EQ(o.threads, 0);
  EXPECT_FALSE(o.fps.has_value());
  EXPECT_EQ(o.max_frames, 0);
  EXPECT_EQ(o.field_order, FieldOrder::kProgressive);
  EXPECT_EQ(o.quality, 1);
  EXPECT_EQ(o.gop_seconds, 4);
  EXPECT_EQ(o.ref_frames, 4);
  EXPECT_EQ(o.b_frames, 2);
}

TEST(ParseCommandLineTest, PassOneNeedsNoOutput) {
  EXPECT_EQ(Parse({"-npass", "1", "-br", "700", "-i", "in.avi"}).output, "");
}

TEST(ParseCommandLineTest, HelpNeedsNothingElse) {
  EXPECT_TRUE(Parse({"-h"}).help);
  EXPECT_TRUE(Parse({"--help"}).help);
}

struct BadLine {
  const char* name;
  std::vector<std::string_view> args;
  const char* message;
};

void PrintTo(const BadLine& c, std::ostream* os) {
  *os << c.name;
}

class BadCommandLineTest : public testing::TestWithParam<BadLine> {};

// A complete pass-2 line in front of the case's own arguments.
TEST_P(BadCommandLineTest, IsRefusedNamingTheOption) {
  std::vector<std::string_view> args = GetParam().args;
  try {
    ParseCommandLine(args);
    FAIL() << "accepted";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
}

#define BASE "-npass", "2", "-br", "700", "-i", "in.avi", "-o", "out.264"

INSTANTIATE_TEST_SUITE_P(
    Lines, BadCommandLineTest,
    testing::Values(
        BadLine{"UnknownOption", {BASE, "-crf", "20"}, "-crf: unknown option; see korvu-enc -h"},
        BadLine{"ValueMissingAtTheEnd", {BASE, "-ref"}, "-ref: needs a value"},
        BadLine{"GivenTwice", {BASE, "-br", "900"}, "-br: given twice"},
        BadLine{"NoQualitySelected",
                {BASE, "-aqo", "-1"},
                "-aqo: -1 is not allowed; give 0, 1 or 2 (quality: 0 fast, 1 balanced, 2 highest)"},
        BadLine{"QualityAboveRange",
                {BASE, "-aqo", "3"},
                "-aqo: 3 is not allowed; give 0, 1 or 2 (quality: 0 fast, 1 balanced, 2 highest)"},
        BadLine{"GopOfZeroSeconds",
                {BASE, "-I", "0"},
                "-I: 0 is not allowed; give 1 to 4 (seconds per GOP)"},
        BadLine{"TooManyBFrames",
                {BASE, "-bf", "4"},
                "-bf: 4 is not allowed; give 1, 2 or 3 (most consecutive B frames)"},
        BadLine{"NegativeThreads",
                {BASE, "-threads", "-1"},
                "-threads: -1 is not allowed; give 0 to 128 (threads, 0 = let the encoder decide)"},
        BadLine{"BitrateAboveTheProfile",
                {"-npass", "1", "-i", "in.avi", "-br", "20001"},
                "-br: 20001 is not allowed; give 1 to 20000 (average bitrate over both passes)"},
        BadLine{"NotANumber",
                {BASE, "-frames", "12x"},
                "-frames: '12x' is not a whole number; give 0 to 2147483647 (encode at most n "
                "frames, 0 = all)"},
        BadLine{"NumberTooBig",
                {BASE, "-frames", "99999999999"},
                "-frames: 99999999999 is not allowed; give 0 to 2147483647 (encode at most n "
                "frames, 0 = all)"},
        BadLine{"NotAFrameRate",
                {BASE, "-fps", "PAL"},
                "-fps: 'PAL' is not a frame rate; give a number such as 25 or 29.97, or a "
                "fraction such as 30000/1001"},
        BadLine{"EmptyStatisticsName", {BASE, "-sf", ""}, "-sf: needs a file name"},
        BadLine{"BothFieldOrders",
                {BASE, "-tff", "-bff"},
                "-bff: cannot be given with the other field order (-tff or -bff)"},
        BadLine{"FieldModeWithoutFieldOrder",
                {BASE, "-fmode", "1"},
                "-fmode: needs -tff or -bff: field coding is for interlaced sources"},
        BadLine{"NoPass",
                {"-br", "700", "-i", "in.avi", "-o", "out.264"},
                "-npass: missing; give 1 (analysis) or 2 (final)"},
        BadLine{"NoInput", {"-npass", "1", "-br", "700"}, "-i: missing; give the input video"},
        BadLine{"NoBitrate",
                {"-npass", "1", "-i", "in.avi"},
                "-br: missing; give the average bitrate in kbit/s"},
        BadLine{"PassTwoWithoutOutput",
                {"-npass", "2", "-br", "700", "-i", "in.avi"},
                "-o: missing; give the output file"}),
    [](const testing::TestParamInfo<BadLine>& info) { return info.param.name; });

}  // namespace
}  // namespace korvu::enc
