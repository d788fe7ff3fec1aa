#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>

#include "job/job.h"
#include "job/settings_file.h"
#include "tests/settings/settings_test_util.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/stale_temporaries.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

namespace fs = std::filesystem;
using test::Listing;

std::string Fixture(const std::string& name) {
  return std::string(KORVU_SETTINGS_FIXTURES) + "/" + name;
}

// The job of the worked example on Windows paths: the encoder, the input and the output exist.
class WorkedExampleTest : public testing::Test {
 protected:
  WorkedExampleTest() {
    AsStartUpLeavesIt(job_);
    JobSettings& s = job_.Settings();
    s.Encoder.SetText(R"(C:\Enc\DivX264.exe)");
    s.Input.SetText(R"(D:\clips\trip.avs)");
    s.Output.SetText(R"(D:\clips\trip.264)");
    s.Threads.SetValue(2);
    s.Bitrate.SetText("1500");
    s.SourceType.SetIndex(1);
    s.Pyramide.SetValue(true);
  }

  // As start-up leaves a job: thread maximum raised, updates on.
  static void AsStartUpLeavesIt(Job& job) {
    job.Settings().Threads.SetMax(4);
    job.SetFParamsLive(true);
    job.UpdateParams();
  }

  test::FakeFileSystem fs_{R"(C:\Enc\DivX264.exe)", R"(D:\clips\trip.avs)", R"(D:\clips\trip.264)"};
  PathRules rules_{PathStyle::kWindows, fs_};
  Job job_{rules_};
  test::TempDir dir_;
};

TEST_F(WorkedExampleTest, SavesTheSectionByteForByte) {
  const std::string path = dir_ / "Korvu.ini";
  SaveSettings(job_, path);
  EXPECT_EQ(test::ReadFile(path), test::ReadFile(Fixture("worked-example.ini")));
}

TEST_F(WorkedExampleTest, LoadingTheSavedFileGivesTheParameterLine) {
  const std::string path = dir_ / "Korvu.ini";
  SaveSettings(job_, path);
  fs_.AddFile(path);
  Job fresh(rules_);
  AsStartUpLeavesIt(fresh);
  LoadSettings(fresh, path, nullptr);
  EXPECT_EQ(fresh.FParams(),
            R"( -threads 2 -br 1500 -tff -fmode 2 -aqo 1 -I 4 -ref 4 -bf 2 -pyramid)"
            R"( -i D:\clips\trip.avs -o D:\clips\trip.264)");
  EXPECT_TRUE(fresh.EncodeEnabled());
  EXPECT_EQ(test::Snapshot(fresh.Settings()), test::Snapshot(job_.Settings()));
}

TEST_F(WorkedExampleTest, SavingChangesNothingInTheJob) {
  int rebuilds = 0;
  job_.OnParamsUpdated([&] { ++rebuilds; });
  const auto before = test::Snapshot(job_.Settings());
  const std::string params = job_.FParams();
  SaveSettings(job_, dir_ / "Korvu.ini");
  EXPECT_EQ(test::Snapshot(job_.Settings()), before);
  EXPECT_EQ(job_.FParams(), params);
  EXPECT_EQ(rebuilds, 0);
}

// A save into an existing file: the golden file "<name>.saved.ini" is what the file becomes.
class SaveIntoTest : public WorkedExampleTest, public testing::WithParamInterface<const char*> {};

TEST_P(SaveIntoTest, KeepsOtherSectionsAndRewritesKorvu) {
  const std::string name = GetParam();
  const std::string path = dir_.Write("settings.ini", test::ReadFile(Fixture(name + ".ini")));
  SaveSettings(job_, path);
  EXPECT_EQ(test::ReadFile(path), test::ReadFile(Fixture(name + ".saved.ini")));
  EXPECT_EQ(Listing(dir_.path()), std::vector<std::string>{"settings.ini"});
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveIntoTest,
                         testing::Values("empty", "no-korvu", "empty-korvu", "other-sections",
                                         "two-sections", "bom", "header-comment",
                                         "lower-case-header", "lf-only"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// What a value becomes in the file and what a load into a fresh job makes of it.
struct RoundTripCase {
  const char* name;
  std::function<void(JobSettings&)> change;
  std::string line;                           // the line of the key in the saved file
  std::map<std::string, std::string> loaded;  // what differs from a fresh job after the load
};

class RoundTripTest : public testing::TestWithParam<RoundTripCase> {
 protected:
  RoundTripTest() {
    for (Job* job : {&saved_, &loaded_}) {
      job->Settings().Threads.SetMax(8);
      job->SetFParamsLive(true);
    }
  }

  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job saved_{rules_};
  Job loaded_{rules_};
  test::TempDir dir_;
};

TEST_P(RoundTripTest, SavesAndLoads) {
  GetParam().change(saved_.Settings());
  const std::string path = dir_ / "round.ini";
  SaveSettings(saved_, path);
  EXPECT_NE(test::ReadFile(path).find("\r\n" + GetParam().line + "\r\n"), std::string::npos)
      << test::ReadFile(path);
  const auto fresh = test::Snapshot(loaded_.Settings());
  LoadSettings(loaded_, path, nullptr);
  EXPECT_EQ(test::Snapshot(loaded_.Settings()), test::With(fresh, GetParam().loaded));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTripTest,
    testing::Values(
        RoundTripCase{"fresh_job", [](JobSettings&) {}, "BRef=0", {{"BRef", "checked"}}},
        RoundTripCase{"bref_checked",
                      [](JobSettings& s) { s.BRef.SetChecked(true); },
                      "BRef=1",
                      {{"BRef", "checked"}}},
        RoundTripCase{"pyramid_writes_bref_0",
                      [](JobSettings& s) { s.Pyramide.SetValue(true); },
                      "BRef=0",
                      {{"Pyramide", "1"}, {"BRef", "grayed"}}},
        RoundTripCase{"blanks_around_a_value_come_back_trimmed",
                      [](JobSettings& s) { s.fps.SetText(" 25\t"); },
                      "fps= 25\t",
                      {{"fps", "25"}, {"BRef", "checked"}}},
        RoundTripCase{"quoted_encoder_keeps_its_quotes",
                      [](JobSettings& s) { s.Encoder.SetText(R"("/opt/my enc/DivX264.exe")"); },
                      R"(Encoder="/opt/my enc/DivX264.exe")",
                      {{"Encoder", R"("/opt/my enc/DivX264.exe")"}, {"BRef", "checked"}}},
        RoundTripCase{"bitrate_as_typed_is_saved_as_its_value",
                      [](JobSettings& s) { s.Bitrate.SetText("+007"); },
                      "Bitrate=7",
                      {{"Bitrate", "7"}, {"BRef", "checked"}}},
        // Past 32 bits the file cannot carry the value: it is written whole, and a load leaves
        // the field as it was.
        RoundTripCase{"bitrate_past_32_bits",
                      [](JobSettings& s) { s.Bitrate.SetText("4294967296"); },
                      "Bitrate=4294967296",
                      {{"BRef", "checked"}}},
        RoundTripCase{"no_quality_selected",
                      [](JobSettings& s) { s.EncQuality.SetIndex(9); },
                      "EncQuality=-1",
                      {{"EncQuality", "-1"}, {"BRef", "checked"}}},
        RoundTripCase{"every_other_value",
                      [](JobSettings& s) {
                        s.Stats.SetText("pass one.dat");
                        s.Input.SetText("/videos/clip.avs");
                        s.Output.SetText("/streams/clip.264");
                        s.EncQuality.SetIndex(2);
                        s.Threads.SetValue(5);
                        s.GOPSec.SetValue(1);
                        s.MaxBFrames.SetValue(3);
                        s.RefFrames.SetValue(2);
                        s.SourceType.SetIndex(2);
                        s.MBAFF.SetValue(true);
                        s.MaxFrames.SetText("250");
                      },
                      "Stats=pass one.dat",
                      {{"Stats", R"("pass one.dat")"},
                       {"Input", "/videos/clip.avs"},
                       {"Output", "/streams/clip.264"},
                       {"EncQuality", "2"},
                       {"Threads", "5"},
                       {"GOPSec", "1"},
                       {"MaxBFrames", "3"},
                       {"RefFrames", "2"},
                       {"SourceType", "2"},
                       {"MBAFF", "1"},
                       {"MaxFrames", "250"},
                       {"BRef", "checked"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// How the file is replaced: through links, with its permission bits, without leftovers.
class ReplaceTest : public WorkedExampleTest {
 protected:
  std::string expected_ = "[Other]\r\nx=1\r\n\r\n" + test::ReadFile(Fixture("worked-example.ini"));
};

// Links and permission bits as POSIX has them.
#ifndef _WIN32
TEST_F(ReplaceTest, ThroughSymbolicLinksTheTargetIsReplaced) {
  const std::string target = dir_.Write("real/settings.ini", "[Other]\r\nx=1\r\n");
  fs::create_directory(dir_ / "links");
  fs::create_symlink("../real/settings.ini", dir_ / "links/first.ini");
  fs::create_symlink(dir_ / "links/first.ini", dir_ / "second.ini");
  SaveSettings(job_, dir_ / "second.ini");
  EXPECT_EQ(test::ReadFile(target), expected_);
  EXPECT_EQ(fs::read_symlink(dir_ / "second.ini"), dir_ / "links/first.ini");
  EXPECT_EQ(fs::read_symlink(dir_ / "links/first.ini"), "../real/settings.ini");
  EXPECT_EQ(Listing(dir_ / "real"), std::vector<std::string>{"settings.ini"});
  EXPECT_EQ(Listing(dir_ / "links"), std::vector<std::string>{"first.ini"});
}

TEST_F(ReplaceTest, ALinkToNoFileCreatesItsTarget) {
  fs::create_symlink("new.ini", dir_ / "link.ini");
  SaveSettings(job_, dir_ / "link.ini");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));
  EXPECT_EQ(test::ReadFile(dir_ / "new.ini"), test::ReadFile(Fixture("worked-example.ini")));
}

// The program's own settings file is never reached through a link: neither its save nor its
// load touches what a link in its place names, existing or not.
TEST_F(ReplaceTest, TheProgramsOwnFileRefusesLinks) {
  const std::string victim = dir_.Write("victim/kept.ini", "x"), own = dir_ / "Korvu.ini";
  const std::string reason = " werden. It is a symbolic link, which is not followed";
  const PathRules real(PathStyle::kPosix, platform::RealFileSystem());
  Job loader(real);
  const auto message_of = [&](bool save) -> std::string {
    try {
      save ? SaveSettings(job_, own, platform::Links::kRefuse)
           : LoadSettings(loader, own, nullptr, platform::Links::kRefuse);
    } catch (const Error& error) {
      return error.what();
    }
    return "no error";
  };
  for (const std::string& target : {dir_ / "victim/new.ini", victim}) {
    fs::remove(own);
    fs::create_symlink(target, own);
    EXPECT_EQ(message_of(true), "Datei \"" + own + "\" kann nicht erstellt" + reason);
  }
  EXPECT_EQ(message_of(false), "Datei " + own + " kann nicht geöffnet" + reason);
  EXPECT_EQ(Listing(dir_ / "victim"), std::vector<std::string>{"kept.ini"});
  EXPECT_EQ(test::ReadFile(victim), "x");
}

TEST_F(ReplaceTest, TheFileKeepsItsPermissionBits) {
  for (const mode_t mode : {0600, 0640, 0604, 0750, 0666}) {
    const std::string path = dir_.Write("settings.ini", "[Other]\r\nx=1\r\n");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    SaveSettings(job_, path);
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
    EXPECT_EQ(test::ReadFile(path), expected_);
  }
}

// The stale temporary files of tests/support/stale_temporaries.h, through a save.
TEST_F(ReplaceTest, AStaleTemporaryFileGoesAndNothingElse) {
  const auto staying = test::MakeStaleTemporaries(
      dir_,
      [](const std::string& target, const std::string& path) {
        fs::create_symlink(target, path);
        return true;
      },
      [](const std::string& path, int age_seconds) {
        const timespec then{time(nullptr) - age_seconds, 0};
        const timespec times[] = {then, then};
        return utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
      });
  SaveSettings(job_, dir_ / "settings.ini");
  EXPECT_EQ(Listing(dir_.path()), staying);
}

TEST_F(ReplaceTest, ANewFileGetsTheUsualPermissionBits) {
  const mode_t old_mask = umask(027);
  SaveSettings(job_, dir_ / "settings.ini");
  umask(old_mask);
  struct stat info;
  ASSERT_EQ(stat((dir_ / "settings.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

#endif

TEST_F(ReplaceTest, AFolderOfThatNameCannotBeCreated) {
  fs::create_directory(dir_ / "folder.ini");
  try {
    SaveSettings(job_, dir_ / "folder.ini");
    FAIL() << "no error";
  } catch (const Error& error) {
    const std::string message =
        "Datei \"" + (dir_ / "folder.ini") + "\" kann nicht erstellt werden. ";
#ifdef _WIN32
    // The reason is the system's text for "access denied", which differs between versions.
    EXPECT_TRUE(std::string(error.what()).starts_with(message)) << error.what();
#else
    EXPECT_EQ(std::string(error.what()), message + "Is a directory");
#endif
  }
  EXPECT_EQ(Listing(dir_.path()), std::vector<std::string>{"folder.ini"});
  EXPECT_TRUE(fs::is_empty(dir_ / "folder.ini"));
}

struct ReasonCase {
  const char* description;
  const char* reason;
};

class ErrorReasonTest : public testing::TestWithParam<ReasonCase> {};

TEST_P(ErrorReasonTest, DropsTrailingBlanksControlsAndFullStops) {
  EXPECT_EQ(ErrorReason(GetParam().description), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Cases, ErrorReasonTest,
                         testing::Values(ReasonCase{"Access is denied.\r\n", "Access is denied"},
                                         ReasonCase{"Permission denied", "Permission denied"},
                                         ReasonCase{"Disk full. . \t.", "Disk full"},
                                         ReasonCase{"v1.2 is bad", "v1.2 is bad"},
                                         ReasonCase{" .\r\n", ""}, ReasonCase{"", ""}));

}  // namespace
}  // namespace korvu::job
