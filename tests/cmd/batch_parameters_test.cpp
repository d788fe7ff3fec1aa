// korvu-cmd giving a batch script its parameters (%1 onward), also when another script names it
// on a program line, and whatever its name begins with.

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/cmd_paths.h"
#include "tests/support/stub_calls.h"
#include "tests/support/temp_dir.h"

namespace korvu::test {
namespace {

constexpr char kShowParameters[] = "@ECHO [%0] [%1] [%2] [%3] [%4]\r\n";

struct ParameterCase {
  const char* name;
  std::map<std::string, std::string> scripts;  // name in the test's folder, content
  std::vector<std::string> arguments;          // korvu-cmd's, run in that folder
  std::string out;
};

class BatchParameterTest : public testing::TestWithParam<ParameterCase> {};

TEST_P(BatchParameterTest, ReachTheScript) {
  const ParameterCase& c = GetParam();
  TempDir dir;
  for (const auto& [name, content] : c.scripts) dir.Write(name, content);
  std::vector<std::string> argv{kKorvuCmd};
  argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
  const ChildResult result = RunChild({argv, {}, dir.path().string(), "", std::nullopt});
  EXPECT_EQ(result.out, c.out);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchParameterTest,
    testing::Values(ParameterCase{"named_on_a_program_line",
                                  {{"outer.bat",
                                    "@inner.bat A1 \"B 2\" C3,D4;E5\r\n@ECHO back\r\n"},
                                   {"inner.bat", kShowParameters}},
                                  {"outer.bat"},
                                  "[inner.bat] [A1] [\"B 2\"] [C3] [D4]\nback\n"},
                    ParameterCase{"name_begins_with_dashes",
                                  {{"outer.bat", "@--inner.bat --folder x\r\n@-x.bat -\r\n"},
                                   {"--inner.bat", kShowParameters},
                                   {"-x.bat", kShowParameters}},
                                  {"outer.bat"},
                                  "[--inner.bat] [--folder] [x] [] []\n[-x.bat] [-] [] [] []\n"},
                    ParameterCase{"from_korvu_cmd_itself",
                                  {{"--top.bat", kShowParameters}},
                                  {"--", "--top.bat", "P1", "P 2", "--report-to"},
                                  "[--top.bat] [P1] [P 2] [--report-to] []\n"},
                    ParameterCase{"from_a_command_line",
                                  {{"inner.bat", kShowParameters}},
                                  {"--command-line", "inner.bat A1 \"B 2\""},
                                  "[inner.bat] [A1] [\"B 2\"] [] []\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A quoted parameter keeps its quotes, so it reaches the inner script's program as one argument.
TEST(BatchParameterTest, QuotedParameterStaysOneArgument) {
  TempDir dir;
  dir.Write("outer.bat", "@inner.bat \"my clip.avi\" x\r\n");
  dir.Write("inner.bat", std::string("@\"") + kStubEncoder + "\" -i %1 -o %2\r\n");
  const ChildResult result = RunChild({{kKorvuCmd, "outer.bat"},
                                       {{"KORVU_STUB_RECORD", dir / "record"}},
                                       dir.path().string(),
                                       "",
                                       std::nullopt});
  const std::vector<std::vector<std::string>> expected{
      {kStubEncoder, "-i", "my clip.avi", "-o", "x"}};
  EXPECT_EQ(ReadStubCalls(dir / "record"), expected) << result.err;
}

}  // namespace
}  // namespace korvu::test
