// Names that POSIX allows and Windows does not, through the settings file: a line break never
// reaches the file, and trailing backslashes stay as they are.

#include <gtest/gtest.h>

#include <functional>

#include "job/job.h"
#include "job/settings_file.h"
#include "tests/settings/settings_test_util.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

class HostileSettingsTest : public testing::Test {
 protected:
  HostileSettingsTest() {
    for (Job* job : {&saved_, &loaded_}) job->SetFParamsLive(true);
  }

  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job saved_{rules_};
  Job loaded_{rules_};
  test::TempDir dir_;
};

struct BreakCase {
  const char* name;
  std::function<void(JobSettings&)> change;
  std::string value;  // what the message names
};

class LineBreakSaveTest : public HostileSettingsTest,
                          public testing::WithParamInterface<BreakCase> {};

TEST_P(LineBreakSaveTest, IsRefusedAndTheOldFileStaysWhole) {
  const std::string old_bytes = "[Other]\r\nkey=1\r\n\r\n[Korvu]\r\nBitrate=5\r\n\r\n";
  const std::string path = dir_.Write("Korvu.ini", old_bytes);
  GetParam().change(saved_.Settings());
  try {
    SaveSettings(saved_, path);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), FormatText(kInvalidFileName, {GetParam().value}).c_str());
  }
  EXPECT_EQ(test::ReadFile(path), old_bytes);
  EXPECT_EQ(test::Listing(dir_.path()), std::vector<std::string>{"Korvu.ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreakSaveTest,
    testing::Values(
        BreakCase{"lf_in_input",
                  [](JobSettings& s) { s.Input.SetText("/v/clip\ntouch pwned\n.avi"); },
                  "/v/clip\ntouch pwned\n.avi"},
        BreakCase{"cr_in_fps", [](JobSettings& s) { s.fps.SetText("25\r[Evil]"); }, "25\r[Evil]"},
        BreakCase{"nul_in_encoder",
                  [](JobSettings& s) { s.Encoder.SetText(std::string("/opt/enc\0x", 10)); },
                  std::string("/opt/enc\0x", 10)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileSettingsTest, TrailingBackslashesSurviveLoadAndSaveByteForByte) {
  JobSettings& s = saved_.Settings();
  s.Encoder.SetText(R"("/opt/My Enc\")");
  s.Stats.SetText(R"("/data/My Stats\\")");
  s.Output.SetText(R"("C:\My Out\")");
  s.BRef.SetChecked(true);  // as any load leaves it without the pyramid
  const std::string first = dir_ / "first.ini";
  SaveSettings(saved_, first);
  const std::string bytes = test::ReadFile(first);
  for (const char* line :
       {R"(Encoder="/opt/My Enc\")", R"(Stats="/data/My Stats\\")", R"(Output="C:\My Out\")"})
    EXPECT_NE(bytes.find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line;

  LoadSettings(loaded_, first, nullptr);
  const auto once = test::Snapshot(loaded_.Settings());
  const std::string second = dir_ / "second.ini";
  SaveSettings(loaded_, second);
  EXPECT_EQ(test::ReadFile(second), bytes);
  LoadSettings(loaded_, second, nullptr);
  EXPECT_EQ(test::Snapshot(loaded_.Settings()), once);
}

}  // namespace
}  // namespace korvu::job
