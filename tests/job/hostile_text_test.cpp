// Names that POSIX allows and Windows does not: line breaks, tabs, trailing backslashes and
// capitals, through the job's own text rules, parameter line and script writer.

#include <gtest/gtest.h>

#include <functional>

#include "job/error.h"
#include "job/job.h"
#include "job/job_script.h"
#include "job/text_rules.h"
#include "tests/support/example_job.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

struct LineBreakCase {
  const char* name;
  std::string encoder;
  std::string params;
  std::string named;  // what the message names
};

class LineBreakTest : public testing::TestWithParam<LineBreakCase> {};

TEST_P(LineBreakTest, ScriptIsRefusedAndTheOldOneStays) {
  const LineBreakCase& c = GetParam();
  const std::string message = FormatText(kInvalidFileName, {c.named});
  try {
    ScriptText(c.encoder, c.params);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), message.c_str());  // what() ends at a NUL
  }
  test::TempDir dir;
  const std::string script = dir.Write("Korvu.bat", "old");
  EXPECT_THROW(WriteJobScript(script, c.encoder, c.params), Error);
  EXPECT_EQ(test::ReadFile(script), "old");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreakTest,
    testing::Values(LineBreakCase{"lf_in_params", "enc", " -i \"clip\ntouch pwned\n.avi\"",
                                  " -i \"clip\ntouch pwned\n.avi\""},
                    LineBreakCase{"cr_in_params", "enc", " -o a\rb", " -o a\rb"},
                    LineBreakCase{"nul_in_params", "enc", std::string(" -fps 25\0x", 10),
                                  std::string(" -fps 25\0x", 10)},
                    LineBreakCase{"lf_in_encoder", "/opt/enc\ntouch pwned", " -br 1",
                                  "/opt/enc\ntouch pwned"},
                    LineBreakCase{"crlf_in_encoder", "enc\r\nx", " -br 1", "enc\r\nx"}),
    [](const auto& info) { return std::string(info.param.name); });

// What a path text becomes in a command line, and what the field and the settings file keep.
struct ArgumentCase {
  const char* name;
  std::string text;
  std::string quoted;    // QuotePath: the field's and the settings file's form
  std::string argument;  // AppendCommandLineArgument: the command line's form
};

class CommandLineArgumentTest : public testing::TestWithParam<ArgumentCase> {};

TEST_P(CommandLineArgumentTest, DoublesOnlyTheBackslashesBeforeTheClosingQuote) {
  const ArgumentCase& c = GetParam();
  EXPECT_EQ(QuotePath(c.text), c.quoted);
  EXPECT_EQ(QuotePath(QuotePath(c.text)), c.quoted);  // a second load grows nothing
  std::string line = "x ";
  AppendCommandLineArgument(line, c.text);
  EXPECT_EQ(line, "x " + c.argument);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineArgumentTest,
    testing::Values(ArgumentCase{"windows_folder", R"(C:\My Folder\)", R"("C:\My Folder\")",
                                 R"("C:\My Folder\\")"},
                    ArgumentCase{"already_quoted", R"("C:\My Folder\")", R"("C:\My Folder\")",
                                 R"("C:\My Folder\\")"},
                    ArgumentCase{"run_of_two", "/tail blank\\\\", R"("/tail blank\\")",
                                 R"("/tail blank\\\\")"},
                    ArgumentCase{"unquoted_stays", R"(C:\dir\)", R"(C:\dir\)", R"(C:\dir\)"},
                    ArgumentCase{"backslash_inside_stays", R"(C:\a b\c.avi)", R"("C:\a b\c.avi")",
                                 R"("C:\a b\c.avi")"},
                    ArgumentCase{"tab_and_backslash", "/a\tb\\", "\"/a\tb\\\"", "\"/a\tb\\\\\""},
                    ArgumentCase{"unit_separator_is_quoted", "a\x1fz", "\"a\x1fz\"", "\"a\x1fz\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathTextTest, QuotesOnATabAsOnABlank) {
  test::FakeFileSystem fs;
  const PathRules posix(PathStyle::kPosix, fs);
  EXPECT_EQ(posix.PathText("/v/a\tb.avi"), "\"/v/a\tb.avi\"");
  EXPECT_EQ(posix.FileName(posix.PathText("/v/a\tb.avi")), "/v/a\tb.avi");
  EXPECT_EQ(posix.PathText("/v/a\x01z.avi"), "\"/v/a\x01z.avi\"");
}

// The parameter line of the worked example with one value changed, on either path style.
struct LineCase {
  const char* name;
  PathStyle style;
  std::function<void(JobSettings&)> change;
  std::string part;  // a part of FParams that must be there
};

class HostileParamLineTest : public testing::TestWithParam<LineCase> {
 protected:
  test::FakeFileSystem fs_{"/enc/DivX264.exe", "/v/trip.avs", R"(C:\Enc\DivX264.exe)",
                           R"(D:\clips\trip.avs)"};
};

TEST_P(HostileParamLineTest, PassesTheNameWhole) {
  const LineCase& c = GetParam();
  const PathRules rules(c.style, fs_);
  Job job(rules);
  if (c.style == PathStyle::kPosix)
    test::SetUpWorkedExample(job.Settings(), "/enc/DivX264.exe", "/v/trip.avs", "/v/trip.264");
  else
    test::SetUpWorkedExample(job.Settings(), R"(C:\Enc\DivX264.exe)", R"(D:\clips\trip.avs)",
                             R"(D:\clips\trip.264)");
  job.SetFParamsLive(true);
  c.change(job.Settings());
  EXPECT_NE(job.FParams().find(c.part), std::string::npos) << job.FParams();
  EXPECT_EQ(job.Preview().substr(job.Preview().find("  ") + 1), job.FParams());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileParamLineTest,
    testing::Values(LineCase{"posix_stats_keeps_its_case", PathStyle::kPosix,
                             [](JobSettings& s) { s.Stats.SetText(" /data/Stats/Pass.dat "); },
                             " -sf /data/Stats/Pass.dat -threads"},
                    LineCase{"posix_default_stats_in_capitals", PathStyle::kPosix,
                             [](JobSettings& s) { s.Stats.SetText("DIVX264_STAT.DAT"); },
                             " -threads 2"},
                    LineCase{"windows_stats_in_lower_case", PathStyle::kWindows,
                             [](JobSettings& s) { s.Stats.SetText(R"(D:\Stats\Pass.DAT)"); },
                             R"( -sf d:\stats\pass.dat -threads)"},
                    LineCase{"windows_output_folder", PathStyle::kWindows,
                             [](JobSettings& s) { s.Output.SetText(R"("D:\My Out\")"); },
                             R"( -o "D:\My Out\\")"},
                    LineCase{"posix_stats_with_blank_and_backslash", PathStyle::kPosix,
                             [](JobSettings& s) { s.Stats.SetText("/data/My Stats\\"); },
                             R"( -sf "/data/My Stats\\" -threads)"},
                    LineCase{"posix_output_with_tab", PathStyle::kPosix,
                             [](JobSettings& s) { s.Output.SetText("\"/v/a\tb.264\""); },
                             " -o \"/v/a\tb.264\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostileParamLineTest, FieldKeepsItsTextWhileTheLineDoubles) {
  test::FakeFileSystem fs{"/enc/DivX264.exe"};
  const PathRules rules(PathStyle::kPosix, fs);
  Job job(rules);
  job.SetFParamsLive(true);
  job.Settings().Output.SetText("\"/v/tail blank\\\"");
  EXPECT_EQ(job.Settings().Output.Text(), "\"/v/tail blank\\\"");
  EXPECT_NE(job.FParams().find(" -o \"/v/tail blank\\\\\""), std::string::npos) << job.FParams();
}

}  // namespace
}  // namespace korvu::job
