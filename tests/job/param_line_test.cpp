#include "job/job.h"

#include <gtest/gtest.h>

#include "tests/support/example_job.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

using test::SetUpWorkedExample;
const std::string& kExampleParams = test::kWorkedExampleParams;

class ParamLineTest : public testing::Test {
 protected:
  ParamLineTest() {
    SetUpWorkedExample(job_.Settings(), R"(C:\Enc\DivX264.exe)", R"(D:\clips\trip.avs)",
                       R"(D:\clips\trip.264)");
    job_.SetFParamsLive(true);
    job_.UpdateParams();
  }

  test::FakeFileSystem fs_{R"(C:\Enc\DivX264.exe)", R"(D:\clips\trip.avs)",
                           R"(C:\Program Files\Enc\DivX264.exe)", R"(D:\my clips\trip.avs)"};
  PathRules rules_{PathStyle::kWindows, fs_};
  Job job_{rules_};
};

TEST_F(ParamLineTest, WorkedExample) {
  EXPECT_EQ(job_.FParams(), kExampleParams);
  EXPECT_EQ(job_.Preview(), R"(C:\Enc\DivX264.exe )" + kExampleParams);
  EXPECT_TRUE(job_.EncodeEnabled());
}

TEST(ParamLinePosixTest, WorkedExampleOnRealFiles) {
  test::TempDir dir;
  const std::string encoder = dir.Write("Enc/DivX264.exe", "");
  const std::string input = dir.Write("clips/trip.avs", "");
  const std::string output = dir / "clips/trip.264";
  const PathRules rules(PathStyle::kPosix, platform::RealFileSystem());
  Job job(rules);
  SetUpWorkedExample(job.Settings(), encoder, input, output);
  job.SetFParamsLive(true);
  job.UpdateParams();
  const std::string params =
      " -threads 2 -br 1500 -tff -fmode 2 -aqo 1 -I 4 -ref 4 -bf 2 -pyramid -i " + input + " -o " +
      output;
  EXPECT_EQ(job.FParams(), params);
  EXPECT_EQ(job.Preview(), encoder + " " + params);
  EXPECT_TRUE(job.EncodeEnabled());
}

struct LineCase {
  const char* name;
  std::function<void(JobSettings&)> change;
  std::string params;  // the whole line, or the part `kExampleParams` gets in place of `replaced`
  std::string replaced;
  bool ready = true;
};

class ParamLineCaseTest : public ParamLineTest, public testing::WithParamInterface<LineCase> {};

TEST_P(ParamLineCaseTest, Builds) {
  const LineCase& c = GetParam();
  c.change(job_.Settings());
  std::string expected = kExampleParams;
  if (c.replaced.empty()) {
    expected = c.params;
  } else {
    const auto at = expected.find(c.replaced);
    ASSERT_NE(at, std::string::npos) << c.replaced;
    expected.replace(at, c.replaced.size(), c.params);
  }
  EXPECT_EQ(job_.FParams(), expected);
  EXPECT_EQ(job_.EncodeEnabled(), c.ready);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParamLineCaseTest,
    testing::Values(
        LineCase{"default_stats_in_capitals",
                 [](JobSettings& s) { s.Stats.SetText(" DIVX264_Stat.DAT\t"); }, " -threads",
                 " -threads"},
        LineCase{"blank_stats", [](JobSettings& s) { s.Stats.SetText("  "); }, " -sf  -threads",
                 " -threads", false},
        LineCase{"stats_in_lower_case_and_quoted",
                 [](JobSettings& s) { s.Stats.SetText(R"(C:\My Stats\Pass.DAT)"); },
                 R"( -sf "c:\my stats\pass.dat" -threads)", " -threads"},
        LineCase{"no_threads", [](JobSettings& s) { s.Threads.SetValue(0); }, " -br",
                 " -threads 2 -br"},
        LineCase{"bitrate_as_typed", [](JobSettings& s) { s.Bitrate.SetText("007"); }, " -br 007",
                 " -br 1500"},
        LineCase{"bitrate_zero", [](JobSettings& s) { s.Bitrate.SetText("0"); }, " -tff",
                 " -br 1500 -tff", false},
        LineCase{"bitrate_past_32_bits", [](JobSettings& s) { s.Bitrate.SetText("2147483648"); },
                 " -tff", " -br 1500 -tff", false},
        LineCase{"fps_blank", [](JobSettings& s) { s.fps.SetText("   "); }, " -tff", " -tff"},
        LineCase{"fps_keeps_leading_blank", [](JobSettings& s) { s.fps.SetText(" 25"); },
                 " -fps  25 -tff", " -tff"},
        LineCase{"frames", [](JobSettings& s) { s.MaxFrames.SetText("250"); }, " -frames 250 -tff",
                 " -tff"},
        LineCase{"progressive_ignores_mbaff",
                 [](JobSettings& s) {
                   s.SourceType.SetIndex(0);
                   s.MBAFF.SetValue(true);
                 },
                 " -aqo", " -tff -fmode 2 -aqo"},
        LineCase{"bottom_field_first_mbaff",
                 [](JobSettings& s) {
                   s.SourceType.SetIndex(2);
                   s.MBAFF.SetValue(true);
                 },
                 " -bff -fmode 1", " -tff -fmode 2"},
        LineCase{"no_quality", [](JobSettings& s) { s.EncQuality.SetIndex(-1); }, " -aqo -1",
                 " -aqo 1"},
        LineCase{"pyramid_never_with_bref", [](JobSettings& s) { s.BRef.SetChecked(true); },
                 " -pyramid", " -pyramid"},
        LineCase{"bref_without_pyramid", [](JobSettings& s) { s.Pyramide.SetValue(false); },
                 " -bref", " -pyramid"},
        LineCase{"no_b_references",
                 [](JobSettings& s) {
                   s.Pyramide.SetValue(false);
                   s.BRef.SetChecked(false);
                 },
                 "", " -pyramid"},
        LineCase{"quoted_input_without_blank",
                 [](JobSettings& s) { s.Input.SetText(R"("D:\clips\trip.avs")"); },
                 R"( -i D:\clips\trip.avs -o D:\clips\trip.264)",
                 R"( -i D:\clips\trip.avs -o D:\clips\trip.264)"},
        LineCase{"quoted_input_with_blank",
                 [](JobSettings& s) { s.Input.SetText(R"("D:\my clips\trip.avs")"); },
                 R"( -i "D:\my clips\trip.avs" -o "D:\my clips\trip.264")",
                 R"( -i D:\clips\trip.avs -o D:\clips\trip.264)"},
        LineCase{"typed_output_with_blank_passes_first_word",
                 [](JobSettings& s) { s.Output.SetText(R"(D:\my out\x.264)"); }, R"( -o D:\my)",
                 R"( -o D:\clips\trip.264)"},
        LineCase{"input_with_operator_is_quoted",
                 [](JobSettings& s) { s.Output.SetText(R"(D:\Tom&Jerry.264)"); },
                 R"( -o "D:\Tom&Jerry.264")", R"( -o D:\clips\trip.264)"},
        LineCase{"missing_input", [](JobSettings& s) { s.Input.SetText(R"(D:\clips\gone.avs)"); },
                 R"( -i D:\clips\gone.avs -o D:\clips\gone.264)",
                 R"( -i D:\clips\trip.avs -o D:\clips\trip.264)", false},
        LineCase{"missing_encoder", [](JobSettings& s) { s.Encoder.SetText(R"(C:\Enc\x.exe)"); },
                 " -threads", " -threads", false},
        LineCase{"encoder_with_blank_unquoted",
                 [](JobSettings& s) { s.Encoder.SetText(R"(C:\Program Files\Enc\DivX264.exe)"); },
                 " -threads", " -threads"},
        LineCase{"empty_input", [](JobSettings& s) { s.Input.SetText(""); }, R"( -i  -o .264)",
                 R"( -i D:\clips\trip.avs -o D:\clips\trip.264)", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParamLineTest, PreviewQuotesTheEncoder) {
  job_.Settings().Encoder.SetText(R"(C:\Program Files\Enc\DivX264.exe)");
  EXPECT_EQ(job_.Preview(), R"("C:\Program Files\Enc\DivX264.exe" )" + kExampleParams);
}

TEST_F(ParamLineTest, FolderIsNoEncoder) {
  fs_.AddFolder(R"(C:\Enc)");
  job_.Settings().Encoder.SetText(R"(C:\Enc)");
  EXPECT_FALSE(job_.EncodeEnabled());
}

TEST_F(ParamLineTest, NothingChangesWhileNotLive) {
  int rebuilds = 0;
  job_.OnParamsUpdated([&] { ++rebuilds; });
  job_.SetFParamsLive(false);
  job_.Settings().Bitrate.SetText("0");
  job_.Settings().Input.SetText(R"(D:\other.avs)");
  EXPECT_EQ(job_.FParams(), kExampleParams);
  EXPECT_TRUE(job_.EncodeEnabled());
  EXPECT_EQ(rebuilds, 0);
  job_.SetFParamsLive(true);
  job_.UpdateParams();
  EXPECT_EQ(rebuilds, 1);
  EXPECT_FALSE(job_.EncodeEnabled());
}

TEST_F(ParamLineTest, EveryChangeRebuildsOnce) {
  int rebuilds = 0;
  job_.OnParamsUpdated([&] { ++rebuilds; });
  job_.Settings().GOPSec.SetValue(2);
  EXPECT_EQ(rebuilds, 1);
  EXPECT_NE(job_.FParams().find(" -I 2 "), std::string::npos);
}

struct ReasonsCase {
  const char* name;
  std::function<void(JobSettings&)> change;
  std::vector<NotReadyReason> reasons;
};

class NotReadyReasonsTest : public ParamLineTest,
                            public testing::WithParamInterface<ReasonsCase> {};

TEST_P(NotReadyReasonsTest, NameEveryFaultInTheRulesOrder) {
  GetParam().change(job_.Settings());
  job_.UpdateParams();
  EXPECT_EQ(NotReadyReasons(job_.Settings()), GetParam().reasons);
  EXPECT_EQ(job_.EncodeEnabled(), GetParam().reasons.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotReadyReasonsTest,
    testing::Values(ReasonsCase{"Ready", [](JobSettings&) {}, {}},
                    ReasonsCase{
                        "EverythingEmpty",
                        [](JobSettings& s) {
                          for (TextValue* path : {&s.Input, &s.Output, &s.Encoder, &s.Stats})
                            path->SetText("  ");
                          s.Bitrate.SetText("0");
                        },
                        {{"Input", "no file name"},
                         {"Output", "no file name"},
                         {"Encoder", "no file name"},
                         {"Stats", "no file name"},
                         {"Bitrate", "must be above 0"}}},
                    ReasonsCase{"MissingFilesByTheirFileNames",
                                [](JobSettings& s) {
                                  s.Input.SetText(R"(D:\clips\no such.avs -x)");
                                  s.Encoder.SetText(R"("C:\Enc\gone.exe")");
                                },
                                {{"Input", R"(no such file: D:\clips\no)"},
                                 {"Encoder", R"(no such file: C:\Enc\gone.exe)"}}},
                    ReasonsCase{"BitrateBeyondItsRangeReadsAsZero",
                                [](JobSettings& s) { s.Bitrate.SetText("2147483648"); },
                                {{"Bitrate", "must be above 0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvu::job
