// Names that POSIX allows and Windows does not, set through the job library, written by the job's
// own script writer and run by korvu-cmd as ExecAndWait starts it, with the stub encoder.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "job/error.h"
#include "job/job_script.h"
#include "tests/support/child_process.h"
#include "tests/support/cmd_paths.h"
#include "tests/support/example_job.h"
#include "tests/support/stub_calls.h"
#include "tests/support/temp_dir.h"

namespace korvu::test {
namespace {

class JobWriterTest : public testing::Test {
 protected:
  JobWriterTest() {
    std::filesystem::create_directories(dir_ / "Enc");
    std::filesystem::copy_file(kStubEncoder, encoder_);
    SetUpWorkedExample(job_.Settings(), encoder_, "", "");
    job_.SetFParamsLive(true);
  }

  // Sets the input as a file dialog does, the file made first; the output follows it.
  std::string ChooseInput(const std::string& name) {
    const std::string path = dir_.Write(name, "");
    job_.Settings().Input.SetText(rules_.PathText(path));
    return path;
  }

  // The click on "Encode"; the console is korvu-cmd, started in the job's folder.
  void Encode() {
    const auto step = [this](const char* name) { return [this, name] { steps_.push_back(name); }; };
    job::RunEncode(job_, dir_ / "Korvu",
                   {step("disable"), step("minimize"),
                    [this](const std::string& command_line, std::uint16_t) {
                      steps_.push_back("run");
                      console_ = RunChild({{kKorvuCmd, "--command-line", command_line},
                                           {{"KORVU_STUB_RECORD", dir_ / "record"}},
                                           dir_.path().string(),
                                           "",
                                           std::nullopt});
                      return console_.exit_code;
                    },
                    step("restore")});
  }

  TempDir dir_;
  const std::string encoder_ = dir_ / "Enc/DivX264.exe";
  job::PathRules rules_{job::PathStyle::kPosix, platform::RealFileSystem()};
  job::Job job_{rules_};
  std::vector<std::string> steps_;
  ChildResult console_;
};

class LineBreakTest : public JobWriterTest, public testing::WithParamInterface<std::string> {};

TEST_P(LineBreakTest, IsRefusedAndNothingRuns) {
  const std::string old_script = dir_.Write("Korvu.bat", "@ECHO old\r\n");
  const std::string line_break = GetParam();
  ChooseInput("clip" + line_break + "touch pwned" + line_break + ".avi");
  try {
    Encode();
    ADD_FAILURE() << "no error";
  } catch (const job::Error& error) {
    EXPECT_EQ(error.what(), job::FormatText(job::kInvalidFileName, {job_.Settings().Input.Text()}));
  }
  EXPECT_TRUE(steps_.empty());
  EXPECT_EQ(ReadFile(old_script), "@ECHO old\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "pwned")) << "a command hidden in the name ran";
  EXPECT_TRUE(ReadStubCalls(dir_ / "record").empty());
}

INSTANTIATE_TEST_SUITE_P(Breaks, LineBreakTest, testing::Values("\n", "\r\n", "\r"),
                         [](const auto& info) { return "break" + std::to_string(info.index); });

struct NameCase {
  const char* name;
  std::string input;  // the input's name in the job's folder
  std::string stats;  // the statistics text
  std::string sf;     // what the encoder gets after -sf; empty: no -sf
};

class NameArrivesTest : public JobWriterTest, public testing::WithParamInterface<NameCase> {};

TEST_P(NameArrivesTest, WholeAtTheEncoder) {
  const NameCase& c = GetParam();
  const std::string input = ChooseInput(c.input);
  job_.Settings().Stats.SetText(c.stats);
  Encode();

  std::vector<std::string> expected{"-threads", "2",    "-br", "1500",    "-tff", "-fmode",
                                    "2",        "-aqo", "1",   "-I",      "4",    "-ref",
                                    "4",        "-bf",  "2",   "-pyramid"};
  if (!c.sf.empty()) expected.insert(expected.begin(), {"-sf", c.sf});
  expected.insert(expected.end(), {"-i", input, "-o", rules_.ReplaceExtension(input, ".264")});
  const auto calls = ReadStubCalls(dir_ / "record");
  ASSERT_EQ(calls.size(), 2u) << console_.err;
  for (std::size_t pass = 0; pass < 2; ++pass) {
    std::vector<std::string> arguments(calls[pass].begin() + 3, calls[pass].end());
    EXPECT_EQ(arguments, expected) << "pass " << pass + 1;
  }
  EXPECT_EQ(console_.err, "");
  EXPECT_EQ(console_.exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameArrivesTest,
    testing::Values(
        NameCase{"tab", "a\tb.avi", "divx264_stat.dat", ""},
        NameCase{"tab_only_before_the_extension", "clip\t.avi", "Stats.dat", "Stats.dat"},
        NameCase{"trailing_backslash_with_blank", "tail blank\\", "divx264_stat.dat", ""},
        NameCase{"trailing_backslashes_and_tab", "two\tslashes\\\\", "DIVX264_STAT.dat", ""},
        NameCase{"statistics_keep_their_case", "clip.avi", " Stats/Pass One.DAT ",
                 "Stats/Pass One.DAT"},
        NameCase{"statistics_folder_with_blank", "clip.avi", "My Stats\\", "My Stats\\"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvu::test
