// The two-pass job script, as job::ScriptText writes it, run by korvu-cmd with a stub encoder.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "job/job_script.h"
#include "job/text_rules.h"
#include "tests/support/child_process.h"
#include "tests/support/cmd_paths.h"
#include "tests/support/stub_calls.h"
#include "tests/support/temp_dir.h"

namespace korvu::test {
namespace {

// The encoder's options, and the arguments the encoder must receive for them.
struct Params {
  std::string line;
  std::vector<std::string> arguments;
};

Params ParamsFor(const std::string& stats, const std::string& input, const std::string& output) {
  Params params{" -threads 2 -br 1500 -tff -fmode 2 -aqo 1 -I 4 -ref 4 -bf 2 -pyramid",
                {"-threads", "2", "-br", "1500", "-tff", "-fmode", "2", "-aqo", "1", "-I", "4",
                 "-ref", "4", "-bf", "2", "-pyramid"}};
  for (const auto& [option, value] : {std::pair{"-sf", stats}, {"-i", input}, {"-o", output}}) {
    params.line += std::string(" ") + option + " " + job::QuotePath(value);
    params.arguments.insert(params.arguments.end(), {option, value});
  }
  return params;
}

std::vector<std::string> PassArguments(const std::string& encoder, const char* pass,
                                       const Params& params) {
  std::vector<std::string> arguments{encoder, "-npass", pass};
  arguments.insert(arguments.end(), params.arguments.begin(), params.arguments.end());
  return arguments;
}

constexpr char kBellAndPause[] = "\a\nPress any key to continue . . . \n";

class JobScriptTest : public testing::Test {
 protected:
  // Runs the job script for `params` with the stub encoder copied to a folder whose name needs
  // quoting and doubled percents.
  ChildResult Run(const Params& params, const std::string& pass1, const std::string& pass2) {
    std::filesystem::create_directories(dir_ / kEncoderFolder);
    std::filesystem::copy_file(kStubEncoder, encoder_);
    const std::string script = dir_.Write("Korvu.bat", job::ScriptText(encoder_, params.line));
    return RunChild({{kKorvuCmd, script},
                     {{"KORVU_STUB_RECORD", dir_ / "record"},
                      {"KORVU_STUB_PASS1", pass1},
                      {"KORVU_STUB_PASS2", pass2}},
                     dir_.path().string(),
                     "",
                     std::nullopt});
  }
  std::vector<std::vector<std::string>> Calls() const { return ReadStubCalls(dir_ / "record"); }

  static constexpr char kEncoderFolder[] = "Program Files & 100% (x86)";
  TempDir dir_;
  const std::string encoder_ = dir_ / (std::string(kEncoderFolder) + "/DivX264.exe");
};

struct PassCase {
  const char* name;
  std::string pass1;
  std::string pass2;
  bool second_pass_runs;
  int exit_code;  // korvu-cmd's: the last ERRORLEVEL
};

class JobScriptPassTest : public JobScriptTest, public testing::WithParamInterface<PassCase> {};

TEST_P(JobScriptPassTest, SecondPassRunsOnlyAfterAGoodFirst) {
  const Params params = ParamsFor("divx264_stat.log", "D:\\clips\\trip.avs", "D:\\clips\\trip.264");
  const ChildResult result = Run(params, GetParam().pass1, GetParam().pass2);

  std::vector<std::vector<std::string>> expected{PassArguments(encoder_, "1", params)};
  if (GetParam().second_pass_runs) expected.push_back(PassArguments(encoder_, "2", params));
  EXPECT_EQ(Calls(), expected);
  // Whatever happened, the bell rings and the console waits (standard input is no terminal here,
  // so PAUSE returns at once).
  ASSERT_GE(result.out.size(), sizeof kBellAndPause - 1);
  EXPECT_EQ(result.out.substr(result.out.size() - (sizeof kBellAndPause - 1)), kBellAndPause);
  EXPECT_EQ(result.exit_code, GetParam().exit_code);
}

INSTANTIATE_TEST_SUITE_P(Cases, JobScriptPassTest,
                         testing::Values(PassCase{"both_succeed", "0", "0", true, 0},
                                         PassCase{"second_fails", "0", "5", true, 5},
                                         PassCase{"first_fails", "1", "0", false, 1},
                                         PassCase{"first_fails_badly", "255", "0", false, 255},
                                         PassCase{"first_terminated", "signal 15", "0", false, 143},
                                         PassCase{"first_killed", "signal 9", "0", false, 137}),
                         [](const auto& info) { return std::string(info.param.name); });

class HostileNameTest : public JobScriptTest, public testing::WithParamInterface<std::string> {};

TEST_P(HostileNameTest, ArrivesByteForByteAndRunsNothingElse) {
  const std::string name = GetParam();
  const std::string marker = dir_ / "marker";
  const std::string stats = "Stats of " + name;
  const std::string input = (std::filesystem::path("clips") / name).string();
  const std::string output = name + ".264";
  const Params params = ParamsFor(stats, input, output);
  const ChildResult result = Run(params, "0", "0");

  const std::vector<std::vector<std::string>> expected{PassArguments(encoder_, "1", params),
                                                       PassArguments(encoder_, "2", params)};
  EXPECT_EQ(Calls(), expected) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(std::filesystem::exists(marker)) << "a command hidden in the name ran";
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest,
                         testing::Values("my clip.avi", "Tom&Jerry.avs", "a|b<c>d.avi", "x^y^.avi",
                                         "100%.avi", "%PATH% and %% 50%.avi", "!bang!(1);2,3=4.avi",
                                         "Gr\xC3\xBC\xC3\x9F"
                                         "e \xC3\x84rger.avi",
                                         "q\" & touch marker & \".avi", "q\"&touch marker&\"",
                                         "a ^& touch marker"),
                         [](const auto& info) { return "name" + std::to_string(info.index); });

}  // namespace
}  // namespace korvu::test
