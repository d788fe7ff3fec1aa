#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "job/job.h"
#include "job/settings_file.h"
#include "tests/settings/settings_test_util.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

using Values = std::map<std::string, std::string>;

std::string Fixture(const std::string& name) {
  return std::string(KORVU_SETTINGS_FIXTURES) + "/" + name;
}

// A job as start-up leaves it: thread maximum raised, updates on. Counts the rebuilds and keeps
// what the load reports.
class LoadTest : public testing::Test {
 protected:
  LoadTest() {
    job_.Settings().Threads.SetMax(8);
    job_.SetFParamsLive(true);
    job_.OnParamsUpdated([this] { ++rebuilds_; });
  }

  void Load(const std::string& path) {
    LoadSettings(job_, path, [this](const Error& error) { reported_.push_back(error.what()); });
  }

  JobSettings& settings() { return job_.Settings(); }

  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job job_{rules_};
  int rebuilds_ = 0;
  std::vector<std::string> reported_;
};

struct LoadCase {
  const char* file;
  Values changes;  // the values that differ from the job's before the load
  std::function<void(JobSettings&)> prepare = nullptr;

  friend void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.file; }
};

class LoadCaseTest : public LoadTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadCaseTest, Applies) {
  if (GetParam().prepare) GetParam().prepare(settings());
  const Values before = test::Snapshot(settings());
  rebuilds_ = 0;
  Load(Fixture(GetParam().file));
  EXPECT_EQ(test::Snapshot(settings()), test::With(before, GetParam().changes));
  EXPECT_TRUE(reported_.empty());
  EXPECT_EQ(rebuilds_, 1);
  EXPECT_TRUE(job_.FParamsLive());
}

void SetInput(JobSettings& s) {
  s.Input.SetText("/videos/old.avs");
  s.Output.SetText("/streams/kept.264");
}

// The layout's rules have their table in settings_text_test.cpp; these are the load's own: the
// last section of the name, and one without lines counts as absent. The line ends are the wiring
// through a real file.
INSTANTIATE_TEST_SUITE_P(
    Layout, LoadCaseTest,
    testing::Values(
        LoadCase{"empty.ini", {}}, LoadCase{"no-korvu.ini", {}}, LoadCase{"empty-korvu.ini", {}},
        LoadCase{"korvu-note-only.ini", {{"BRef", "checked"}}},
        LoadCase{"mixed-line-ends.ini",
                 {{"Bitrate", "700"}, {"Threads", "3"}, {"GOPSec", "2"}, {"BRef", "checked"}}},
        LoadCase{"two-sections.ini", {{"Bitrate", "900"}, {"BRef", "checked"}}}));

INSTANTIATE_TEST_SUITE_P(
    ValueForms, LoadCaseTest,
    testing::Values(LoadCase{"hex.ini",
                             {{"Bitrate", "1500"},
                              {"MaxFrames", "255"},
                              {"Threads", "3"},
                              {"GOPSec", "2"},
                              {"MaxBFrames", "1"},
                              {"EncQuality", "-1"},
                              {"SourceType", "2"},
                              {"BRef", "checked"}}},
                    LoadCase{"not-integers.ini", {{"BRef", "checked"}}},
                    LoadCase{"flags.ini", {{"MBAFF", "1"}, {"Pyramide", "1"}, {"BRef", "grayed"}}},
                    LoadCase{"out-of-range.ini",
                             {{"GOPSec", "1"},
                              {"RefFrames", "1"},
                              {"Threads", "8"},
                              {"MaxFrames", "7"},
                              {"EncQuality", "-1"},
                              {"SourceType", "2"},
                              {"BRef", "checked"}}},
                    // A negative bitrate becomes 0: the field's text goes from "7" to "0".
                    LoadCase{"out-of-range.ini",
                             {{"GOPSec", "1"},
                              {"RefFrames", "1"},
                              {"Threads", "8"},
                              {"Bitrate", "0"},
                              {"MaxFrames", "7"},
                              {"EncQuality", "-1"},
                              {"SourceType", "2"},
                              {"BRef", "checked"}},
                             [](JobSettings& s) { s.Bitrate.SetText("7"); }}));

INSTANTIATE_TEST_SUITE_P(
    Coupling, LoadCaseTest,
    testing::Values(
        LoadCase{"pyramid-off.ini", {{"BRef", "checked"}}},
        LoadCase{"pyramid-off.ini",
                 {{"Pyramide", "0"}, {"BRef", "checked"}},
                 [](JobSettings& s) { s.Pyramide.SetValue(true); }},
        LoadCase{"pyramid-on.ini", {{"Pyramide", "1"}, {"BRef", "grayed"}}},
        // Grayed before, Pyramide already on: the coupling still runs, BRef stays grayed.
        LoadCase{"pyramid-on.ini", {}, [](JobSettings& s) { s.Pyramide.SetValue(true); }},
        // BRef unchecked by the user: any load of a Korvu section checks it again.
        LoadCase{"input-missing.ini",
                 {{"Bitrate", "700"}, {"BRef", "checked"}},
                 [](JobSettings& s) { s.BRef.SetChecked(false); }}));

INSTANTIATE_TEST_SUITE_P(
    Texts, LoadCaseTest,
    testing::Values(
        LoadCase{"texts.ini",
                 {{"Encoder", R"("/opt/my enc/DivX264.exe")"},
                  {"Stats", "pass.dat"},
                  {"Input", "/videos/clip.avs"},
                  {"Output", "/videos/clip.264"},
                  {"fps", R"("30000 / 1001")"},
                  {"BRef", "checked"}}},
        LoadCase{"value-with-semicolon.ini",
                 {{"fps", R"("25 ; a comment?")"}, {"Stats", "a=b.dat"}, {"BRef", "checked"}}},
        LoadCase{
            "input-empty.ini", {{"Input", ""}, {"Output", ".264"}, {"BRef", "checked"}}, SetInput},
        LoadCase{"input-missing.ini", {{"Bitrate", "700"}, {"BRef", "checked"}}, SetInput},
        LoadCase{"output-missing.ini",
                 {{"Input", "/videos/new.avs"}, {"Output", "/videos/new.264"}, {"BRef", "checked"}},
                 SetInput},
        LoadCase{
            "output-given.ini",
            {{"Input", "/videos/new.avs"}, {"Output", "/streams/other.264"}, {"BRef", "checked"}},
            SetInput},
        LoadCase{"input-with-blank.ini",
                 {{"Input", R"("/my videos/clip.avs")"},
                  {"Output", R"("/my videos/clip.264")"},
                  {"BRef", "checked"}}}));

TEST_F(LoadTest, MissingFileOrFolderChangesNothingAndDoesNotRebuild) {
  const test::TempDir dir;
  std::filesystem::create_directory(dir / "folder.ini");
  for (const std::string& path : {dir / "missing.ini", dir / "folder.ini", std::string()}) {
    job_.SetFParamsLive(false);  // as start-up has it before its first activation ends
    Load(path);
    EXPECT_FALSE(job_.FParamsLive()) << path;
  }
  EXPECT_EQ(rebuilds_, 0);
}

TEST_F(LoadTest, BuildsTheParameterLineOnceAtTheEnd) {
  Load(Fixture("hex.ini"));
  EXPECT_EQ(rebuilds_, 1);
  EXPECT_EQ(job_.FParams(),
            " -threads 3 -br 1500 -frames 255 -bff -fmode 2 -aqo -1 -I 2 -ref 4"
            " -bf 1 -bref -i  -o ");
}

TEST_F(LoadTest, RefusedOutputIsReportedAndTheLoadGoesOn) {
  const test::TempDir dir;
  settings().Output.SetText("/streams/kept.264");
  const std::string path =
      dir.Write("refused.ini", "[Korvu]\r\nInput=/videos/a?b.avs\r\nBitrate=700\r\n");
  rebuilds_ = 0;
  Load(path);
  EXPECT_EQ(reported_, std::vector<std::string>{"Ungültiger Dateiname - /videos/a?b.264"});
  EXPECT_EQ(settings().Input.Text(), "/videos/a?b.avs");
  EXPECT_EQ(settings().Output.Text(), "/streams/kept.264");
  EXPECT_EQ(settings().Bitrate.Text(), "700");
  EXPECT_EQ(rebuilds_, 1);
}

TEST_F(LoadTest, WithoutAReportTheRefusedOutputEndsTheLoad) {
  const test::TempDir dir;
  const std::string path =
      dir.Write("refused.ini", "[Korvu]\r\nInput=/videos/a?b.avs\r\nBitrate=700\r\n");
  EXPECT_THROW(LoadSettings(job_, path, nullptr), Error);
  EXPECT_EQ(settings().Bitrate.Text(), "0");
  EXPECT_TRUE(job_.FParamsLive());
  EXPECT_EQ(rebuilds_, 0);
}

struct DefaultPathCase {
  const char* executable;
  PathStyle style;
  const char* settings;
};

class DefaultSettingsPathTest : public testing::TestWithParam<DefaultPathCase> {};

TEST_P(DefaultSettingsPathTest, ReplacesTheExtension) {
  EXPECT_EQ(DefaultSettingsPath(GetParam().executable, GetParam().style), GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultSettingsPathTest,
    testing::Values(
        DefaultPathCase{R"(C:\Tools\Korvu.exe)", PathStyle::kWindows, R"(C:\Tools\Korvu.ini)"},
        DefaultPathCase{R"(C:\Apps\x.y\tool)", PathStyle::kWindows, R"(C:\Apps\x.y\tool.ini)"},
        DefaultPathCase{R"(C:\Tools\Korvu.)", PathStyle::kWindows, R"(C:\Tools\Korvu.ini)"},
        DefaultPathCase{R"(C:Korvu.bin.exe)", PathStyle::kWindows, R"(C:Korvu.bin.ini)"},
        DefaultPathCase{"/opt/korvu/bin/Korvu", PathStyle::kPosix, "/opt/korvu/bin/Korvu.ini"},
        DefaultPathCase{"/opt/x.y/tool", PathStyle::kPosix, "/opt/x.y/tool.ini"},
        DefaultPathCase{"/opt/korvu/Korvu.exe", PathStyle::kPosix, "/opt/korvu/Korvu.ini"}));

}  // namespace
}  // namespace korvu::job
