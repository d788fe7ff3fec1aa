#include "job/job_settings.h"

#include <gtest/gtest.h>

#include "job/error.h"
#include "tests/support/fake_file_system.h"

namespace korvu::job {
namespace {

class JobSettingsTest : public testing::Test {
 protected:
  JobSettingsTest() {
    settings_.OnAnyChange([this] { ++changes_; });
  }

  test::FakeFileSystem fs_{R"(C:\My Videos\clip.avi)"};
  PathRules rules_{PathStyle::kWindows, fs_};
  JobSettings settings_{rules_};
  int changes_ = 0;
};

TEST_F(JobSettingsTest, StartsWithTheInitialValues) {
  EXPECT_EQ(settings_.Encoder.Text(), "DivX264.exe");
  EXPECT_EQ(settings_.Stats.Text(), "divx264_stat.dat");
  EXPECT_EQ(settings_.Input.Text(), "");
  EXPECT_EQ(settings_.EncQuality.Index(), 1);
  EXPECT_EQ(settings_.Bitrate.Text(), "0");
  EXPECT_EQ(settings_.Threads.Value(), 0);
  EXPECT_EQ(settings_.Threads.Max(), 1);
  EXPECT_EQ(settings_.GOPSec.Value(), 4);
  EXPECT_EQ(settings_.MaxBFrames.Value(), 2);
  EXPECT_EQ(settings_.RefFrames.Value(), 4);
  EXPECT_EQ(settings_.BRef.State(), CheckState::kUnchecked);
  EXPECT_FALSE(settings_.Pyramide.Value());
  EXPECT_EQ(settings_.SourceType.Index(), 0);
  EXPECT_FALSE(settings_.MBAFF.Value());
  EXPECT_EQ(settings_.fps.Text(), "");
  EXPECT_EQ(settings_.MaxFrames.Text(), "0");
}

struct DeriveCase {
  std::string input;
  std::string output;
};

class OutputFromInputTest : public JobSettingsTest,
                            public testing::WithParamInterface<DeriveCase> {};

TEST_P(OutputFromInputTest, DerivesOutput) {
  settings_.Input.SetText("x");
  settings_.Input.SetText(GetParam().input);
  EXPECT_EQ(settings_.Output.Text(), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputFromInputTest,
    testing::Values(DeriveCase{R"(C:\v\clip.avs)", R"(C:\v\clip.264)"},
                    DeriveCase{R"(C:\My Videos\clip.avi)", R"("C:\My Videos\clip.264")"},
                    DeriveCase{R"("C:\New Videos\clip.avi")", R"("C:\New Videos\clip.264")"},
                    DeriveCase{R"(C:\New Videos\clip.avi)", R"(C:\New.264)"},
                    DeriveCase{"", ".264"}));

TEST_F(JobSettingsTest, RefusedOutputKeepsItsTextAndTheInputChangeStays) {
  settings_.Input.SetText(R"(C:\v\clip.avs)");
  try {
    settings_.Input.SetText(R"(C:\v\a*b.avs)");
    FAIL() << "accepted an invalid output name";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), R"(Ungültiger Dateiname - C:\v\a*b.264)");
  }
  EXPECT_EQ(settings_.Input.Text(), R"(C:\v\a*b.avs)");
  EXPECT_EQ(settings_.Output.Text(), R"(C:\v\clip.264)");
}

TEST_F(JobSettingsTest, PosixStyleDerivesWithSlashes) {
  test::FakeFileSystem fs{"/home/ann/My Clips/trip.avi"};
  const PathRules rules(PathStyle::kPosix, fs);
  JobSettings settings(rules);
  settings.Input.SetText("/home/ann/My Clips/trip.avi");
  EXPECT_EQ(settings.Output.Text(), R"("/home/ann/My Clips/trip.264")");
  settings.Input.SetText("/v/x.y/clip");
  EXPECT_EQ(settings.Output.Text(), "/v/x.y/clip.264");
}

TEST_F(JobSettingsTest, PyramidCouplingOverridesBRef) {
  settings_.Pyramide.SetValue(true);
  EXPECT_EQ(settings_.BRef.State(), CheckState::kGrayed);
  EXPECT_FALSE(settings_.BRef.Checked());
  settings_.Pyramide.SetValue(false);
  EXPECT_EQ(settings_.BRef.State(), CheckState::kChecked);
  settings_.BRef.SetChecked(false);  // the user clears it: it stays so until Pyramide changes
  settings_.ApplyPyramidCoupling();
  EXPECT_EQ(settings_.BRef.State(), CheckState::kChecked);
}

TEST_F(JobSettingsTest, NotifiesOncePerChangeAndNeverForTheSameValue) {
  struct Step {
    const char* what;
    std::function<void(JobSettings&)> write;
    int changes;
  };
  const Step steps[] = {
      {"same text", [](JobSettings& s) { s.Encoder.SetText("DivX264.exe"); }, 0},
      {"new text", [](JobSettings& s) { s.Encoder.SetText("enc.exe"); }, 1},
      {"input derives output", [](JobSettings& s) { s.Input.SetText(R"(C:\a.avs)"); }, 1},
      {"input whose output is unchanged", [](JobSettings& s) { s.Input.SetText(R"(C:\a.avi)"); },
       1},
      {"clamped to the value it has", [](JobSettings& s) { s.GOPSec.SetValue(10); }, 0},
      {"clamped change", [](JobSettings& s) { s.GOPSec.SetValue(0); }, 1},
      {"pyramid grays bref", [](JobSettings& s) { s.Pyramide.SetValue(true); }, 1},
      {"bref alone", [](JobSettings& s) { s.BRef.SetChecked(true); }, 1},
      {"coupling alone", [](JobSettings& s) { s.ApplyPyramidCoupling(); }, 1},
      {"same pyramid", [](JobSettings& s) { s.Pyramide.SetValue(true); }, 0},
      {"list outside", [](JobSettings& s) { s.EncQuality.SetIndex(7); }, 1},
      {"list outside again", [](JobSettings& s) { s.EncQuality.SetIndex(-3); }, 0},
      {"number value", [](JobSettings& s) { s.Bitrate.SetValue(1500); }, 1},
      {"same number value", [](JobSettings& s) { s.Bitrate.SetValue(1500); }, 0},
  };
  for (const Step& step : steps) {
    changes_ = 0;
    step.write(settings_);
    EXPECT_EQ(changes_, step.changes) << step.what;
  }
}

TEST_F(JobSettingsTest, BoundedValuesStayInRange) {
  settings_.GOPSec.SetValue(10);
  EXPECT_EQ(settings_.GOPSec.Text(), "4");
  settings_.RefFrames.SetValue(-1);
  EXPECT_EQ(settings_.RefFrames.Value(), 1);
  settings_.Threads.SetValue(4);
  EXPECT_EQ(settings_.Threads.Value(), 1);  // the thread maximum is 1 until start-up
  settings_.Threads.SetMax(8);
  settings_.Threads.SetValue(4);
  changes_ = 0;
  settings_.Threads.SetMax(2);
  EXPECT_EQ(settings_.Threads.Value(), 2);
  EXPECT_EQ(changes_, 1);
  settings_.EncQuality.SetIndex(7);
  EXPECT_EQ(settings_.EncQuality.Index(), -1);
  settings_.SourceType.SetIndex(2);
  EXPECT_EQ(settings_.SourceType.Index(), 2);
}

}  // namespace
}  // namespace korvu::job
