#include "encoder/options.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "encoder/error.h"

namespace korvu::enc {
namespace {

TEST(ParseCommandLineTest, TakesOptionsInAnyOrderAndDefaultsTheRest) {
  const std::vector<std::string_view> args = {"-o",  "out clip.264", "-bff",   "-fps", "23.976",
                                              "-i",  "in.avi",       "-fmode", "2",    "-br",
                                              "700", "-npass",       "2",      "-bref"};
  const Options o = ParseCommandLine(args);
  EXPECT_EQ(o.pass, 2);
  EXPECT_EQ(o.output, "out clip.264");
  EXPECT_EQ(o.field_order, FieldOrder::kBottomFirst);
  EXPECT_EQ(o.fps, (Rational{24000, 1001}));
  EXPECT_TRUE(o.b_ref && !o.pyramid);
  // Left out: the window's own defaults.
  EXPECT_EQ(o.stats, "divx264_stat.dat");
  EXPECT_EQ(o.quality, 1);
  EXPECT_EQ(o.gop_seconds, 4);
  EXPECT_EQ(o.ref_frames, 4);
  EXPECT_EQ(o.b_frames, 2);
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

TEST_P(BadCommandLineTest, IsRefusedNamingTheOption) {
  try {
    ParseCommandLine(GetParam().args);
    FAIL() << "accepted";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
}

#define PASS2 "-npass", "2", "-br", "700", "-i", "in.avi", "-o", "out.264"

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lines, BadCommandLineTest, testing::Values(
    BadLine{"ValueMissingAtTheEnd", {PASS2, "-ref"}, "-ref: needs a value"},
    BadLine{"GivenTwice", {PASS2, "-br", "900"}, "-br: given twice"},
    BadLine{"QualityAboveRange", {PASS2, "-aqo", "3"},
            "-aqo: 3 is not allowed; give 0, 1 or 2 (quality: 0 fast, 1 balanced, 2 highest)"},
    BadLine{"TooManyBFrames", {PASS2, "-bf", "4"},
            "-bf: 4 is not allowed; give 1, 2 or 3 (most consecutive B frames)"},
    BadLine{"BitrateAboveTheProfile", {"-npass", "1", "-i", "in.avi", "-br", "20001"},
            "-br: 20001 is not allowed; give 1 to 20000 (average bitrate over both passes, kbit/s)"},
    BadLine{"NotANumber", {PASS2, "-frames", "12x"},
            "-frames: '12x' is not a whole number; give 0 to 2147483647 (encode at most n frames, 0 = all)"},
    BadLine{"NotAFrameRate", {PASS2, "-fps", "PAL"},
            "-fps: 'PAL' is not a frame rate; give a number such as 25 or 29.97, or a fraction such as 30000/1001"},
    BadLine{"BothFieldOrders", {PASS2, "-tff", "-bff"},
            "-bff: cannot be given with the other field order (-tff or -bff)"},
    BadLine{"FieldModeWithoutFieldOrder", {PASS2, "-fmode", "1"},
            "-fmode: needs -tff or -bff: field coding is for interlaced sources"},
    BadLine{"NoPass", {"-br", "700", "-i", "in.avi"}, "-npass: missing; give 1 (analysis) or 2 (final)"},
    BadLine{"NoBitrate", {"-npass", "1", "-i", "in.avi"}, "-br: missing; give the average bitrate in kbit/s"},
    BadLine{"PassTwoWithoutOutput", {"-npass", "2", "-br", "700", "-i", "in.avi"},
            "-o: missing; give the output file"}),
    [](const testing::TestParamInfo<BadLine>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace korvu::enc
