#include "encoder/x264_params.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvu::enc {
namespace {

char stats_name[] = "stats.dat";

x264_param_t Build(std::vector<std::string_view> extra, Rational rate = {25, 1}) {
  std::vector<std::string_view> args = {"-npass", "2",      "-br", "1000",
                                        "-i",     "in.avi", "-o",  "out.264"};
  args.insert(args.end(), extra.begin(), extra.end());
  return BuildParams(ParseCommandLine(args), ApplyContext{rate, stats_name},
                     PictureFormat{320, 240, {1, 1}, false});
}

struct PresetCase {
  const char* quality;
  int subpel_refine;  // presets differ here,
  int b_adapt;        // and in what the statistics note
  int lookahead;
};

void PrintTo(const PresetCase& c, std::ostream* os) {
  *os << "-aqo " << c.quality;
}

class PresetTest : public testing::TestWithParam<PresetCase> {};

TEST_P(PresetTest, QualityPicksTheX264Preset) {
  const x264_param_t p = Build({"-aqo", GetParam().quality});
  EXPECT_EQ(p.analyse.i_subpel_refine, GetParam().subpel_refine);
  EXPECT_EQ(p.i_bframe_adaptive, GetParam().b_adapt);
  EXPECT_EQ(p.rc.i_lookahead, GetParam().lookahead);
}

INSTANTIATE_TEST_SUITE_P(FastMediumSlower, PresetTest,
                         testing::Values(PresetCase{"0", 6, 1, 30}, PresetCase{"1", 7, 1, 40},
                                         PresetCase{"2", 9, 2, 60}));

// The preset must not undo the options: they apply after it.
TEST(X264ParamsTest, OptionsOverrideThePreset) {
  const x264_param_t p = Build({"-aqo", "2", "-ref", "2", "-bf", "1", "-threads", "3"});
  EXPECT_EQ(p.i_frame_reference, 2);
  EXPECT_EQ(p.i_bframe, 1);
  EXPECT_EQ(p.i_threads, 3);
}

struct KeyintCase {
  Rational rate;
  const char* seconds;
  int keyint;
};

void PrintTo(const KeyintCase& c, std::ostream* os) {
  *os << c.rate.num << "/" << c.rate.den << " fps, -I " << c.seconds;
}

class KeyintTest : public testing::TestWithParam<KeyintCase> {};

TEST_P(KeyintTest, IsTheFrameRateTimesTheSecondsRounded) {
  EXPECT_EQ(Build({"-I", GetParam().seconds}, GetParam().rate).i_keyint_max, GetParam().keyint);
}

INSTANTIATE_TEST_SUITE_P(Rates, KeyintTest,
                         testing::Values(KeyintCase{{25, 1}, "4", 100},
                                         KeyintCase{{30000, 1001}, "2", 60},
                                         KeyintCase{{24000, 1001}, "1", 24},
                                         KeyintCase{{25, 2}, "3", 38}));

struct PyramidCase {
  std::vector<std::string_view> flags;
  int pyramid;
};

void PrintTo(const PyramidCase& c, std::ostream* os) {
  for (std::string_view flag : c.flags) *os << flag << " ";
}

class BReferenceTest : public testing::TestWithParam<PyramidCase> {};

TEST_P(BReferenceTest, FlagsPickThePyramidMode) {
  EXPECT_EQ(Build(GetParam().flags).i_bframe_pyramid, GetParam().pyramid);
}

INSTANTIATE_TEST_SUITE_P(Flags, BReferenceTest,
                         testing::Values(PyramidCase{{}, X264_B_PYRAMID_NONE},
                                         PyramidCase{{"-bref"}, X264_B_PYRAMID_STRICT},
                                         PyramidCase{{"-pyramid"}, X264_B_PYRAMID_NORMAL},
                                         PyramidCase{{"-bref", "-pyramid"},
                                                     X264_B_PYRAMID_NORMAL}));

TEST(X264ParamsTest, FieldOrderSetsInterlacedCoding) {
  const x264_param_t progressive = Build({});
  EXPECT_FALSE(progressive.b_interlaced);
  EXPECT_NE(progressive.analyse.i_weighted_pred, X264_WEIGHTP_NONE);
  const x264_param_t top = Build({"-tff", "-fmode", "1"});
  EXPECT_TRUE(top.b_interlaced);
  EXPECT_TRUE(top.b_tff);
  EXPECT_EQ(top.analyse.i_weighted_pred, X264_WEIGHTP_NONE);
  const x264_param_t bottom = Build({"-bff", "-fmode", "2"});
  EXPECT_TRUE(bottom.b_interlaced);
  EXPECT_FALSE(bottom.b_tff);
}

TEST(X264ParamsTest, BitrateKeepsToLevelFourLimits) {
  const x264_param_t p = Build({});
  EXPECT_EQ(p.rc.i_rc_method, X264_RC_ABR);
  EXPECT_EQ(p.rc.i_bitrate, 1000);
  EXPECT_EQ(p.i_level_idc, 40);
  EXPECT_EQ(p.rc.i_vbv_max_bitrate, 20000);
  EXPECT_EQ(p.rc.i_vbv_buffer_size, 25000);
}

TEST(X264ParamsTest, OutputIsAConstantRateAnnexBStream) {
  const x264_param_t p = Build({}, {30000, 1001});
  EXPECT_EQ(p.i_fps_num, 30000u);
  EXPECT_EQ(p.i_fps_den, 1001u);
  EXPECT_EQ(p.i_timebase_num, 1001u);
  EXPECT_EQ(p.i_timebase_den, 30000u);
  EXPECT_FALSE(p.b_vfr_input);
  EXPECT_TRUE(p.b_annexb);
  EXPECT_TRUE(p.b_repeat_headers);
  EXPECT_EQ(p.i_width, 320);
  EXPECT_EQ(p.i_csp, X264_CSP_I420);
}

TEST(X264ParamsTest, PassOneWritesStatisticsWithX264sFastFirstPass) {
  std::vector<std::string_view> args = {"-npass", "1", "-br", "1000", "-i", "in.avi", "-ref", "3"};
  const x264_param_t p = BuildParams(ParseCommandLine(args), ApplyContext{{25, 1}, stats_name},
                                     PictureFormat{320, 240, {1, 1}, false});
  EXPECT_TRUE(p.rc.b_stat_write);
  EXPECT_FALSE(p.rc.b_stat_read);
  EXPECT_STREQ(p.rc.psz_stat_out, "stats.dat");
  EXPECT_EQ(p.i_frame_reference, 1);
  EXPECT_EQ(p.analyse.i_me_method, X264_ME_DIA);
}

TEST(X264ParamsTest, PassTwoReadsStatisticsAtFullStrength) {
  const x264_param_t p = Build({"-ref", "3"});
  EXPECT_TRUE(p.rc.b_stat_read);
  EXPECT_FALSE(p.rc.b_stat_write);
  EXPECT_STREQ(p.rc.psz_stat_in, "stats.dat");
  EXPECT_EQ(p.i_frame_reference, 3);
}

}  // namespace
}  // namespace korvu::enc
