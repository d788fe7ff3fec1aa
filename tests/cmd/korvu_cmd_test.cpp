// korvu-cmd as a user runs it: real scripts, a real process, real programs started from it.

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/cmd_paths.h"
#include "tests/support/stub_calls.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"

namespace korvu::test {
namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

struct ScriptCase {
  const char* name;
  std::string script;  // @STUB@ is the stub encoder's path, @DIR@ the script's folder
  std::map<std::string, std::optional<std::string>> environment;
  std::string out;
  std::string err;  // a part of standard error; empty: standard error must be empty
  int exit_code;
  std::size_t stub_calls;
};

class KorvuCmdScriptTest : public testing::TestWithParam<ScriptCase> {
 protected:
  TempDir dir_;
};

TEST_P(KorvuCmdScriptTest, RunsAsTheWindowsInterpreterWould) {
  const ScriptCase& c = GetParam();
  const std::string folder = dir_.path().string();
  const std::string script =
      dir_.Write("case.bat", Replace(Replace(c.script, "@STUB@", kStubEncoder), "@DIR@", folder));
  ChildOptions options{{kKorvuCmd, script}, c.environment, folder, "", std::nullopt};
  options.environment["KORVU_STUB_RECORD"] = dir_ / "record";
  const ChildResult result = RunChild(options);

  EXPECT_EQ(result.out, Replace(c.out, "@DIR@", folder));
  if (c.err.empty())
    EXPECT_EQ(result.err, "");
  else
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
  EXPECT_EQ(result.exit_code, c.exit_code);
  EXPECT_EQ(ReadStubCalls(dir_ / "record").size(), c.stub_calls);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "marker")) << "a command ran that must not";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KorvuCmdScriptTest,
    testing::Values(
        ScriptCase{
            "echo_on_shows_each_command", "ECHO hi\r\n", {}, "\n@DIR@>ECHO hi\nhi\n", "", 0, 0},
        ScriptCase{"at_hides_one_line",
                   "@ECHO hi\r\nECHO OFF\r\nECHO x\r\n",
                   {},
                   "hi\n\n@DIR@>ECHO OFF\nx\n",
                   "",
                   0,
                   0},
        ScriptCase{"echo_state_and_empty_lines",
                   "@ECHO OFF\nECHO\nECHO.\nECHO ON\nECHO\n",
                   {},
                   "ECHO is off.\n\n\n@DIR@>ECHO\nECHO is on.\n",
                   "",
                   0,
                   0},
        ScriptCase{"goto_in_any_case_and_backwards",
                   "@GOTO B\n:a\n@ECHO a\n@GOTO :EOF\n:b\n@ECHO b\n@goto A\n",
                   {},
                   "b\na\n",
                   "",
                   0,
                   0},
        ScriptCase{"missing_label_ends_the_script",
                   "@GOTO nowhere\r\n@ECHO after\r\n",
                   {},
                   "",
                   "The system cannot find the batch label specified - nowhere\n",
                   1,
                   0},
        ScriptCase{
            "if_errorlevel_means_at_least",
            "@ECHO OFF\r\n\"@STUB@\"\r\nIF ERRORLEVEL 3 ECHO ge3\r\nIF ERRORLEVEL 4 ECHO ge4\r\n"
            "IF NOT ERRORLEVEL 4 ECHO lt4\r\n",
            {{"KORVU_STUB_END", "3"}},
            "stub encoder: pass -\nge3\nlt4\n",
            "",
            3,
            1},
        ScriptCase{"signal_counts_as_128_plus_its_number",
                   "@\"@STUB@\"\r\n@IF ERRORLEVEL 143 ECHO killed\r\n",
                   {{"KORVU_STUB_END", "signal 15"}},
                   "stub encoder: pass -\nkilled\n",
                   "",
                   143,
                   1},
        ScriptCase{"percent_expansion",
                   "@ECHO [%korvu_test_var%] [%KORVU_UNSET_X%] 100%% 50% off\r\n",
                   {{"KORVU_Test_Var", "v"}},
                   "[v] [] 100% 50 off\n",
                   "",
                   0,
                   0},
        ScriptCase{"unquoted_operator_runs_nothing",
                   "@\"@STUB@\" a & touch @DIR@/marker\r\n@ECHO next\r\n",
                   {},
                   "next\n",
                   "'&' outside quotes",
                   1,
                   0},
        ScriptCase{"unknown_program",
                   "@korvu-no-such-program x\r\n@IF ERRORLEVEL 9009 ECHO 9009\r\n",
                   {},
                   "9009\n",
                   "'korvu-no-such-program' is not recognized as an internal or external command,\n"
                   "operable program or batch file.\n",
                   9009 % 256,
                   0},
        ScriptCase{"unsupported_if_form", "@IF EXIST x ECHO y\r\n", {}, "", "not supported", 1, 0},
        ScriptCase{
            "remark_is_not_parsed", "@REM a & b | c > d\r\n@ECHO ok\r\n", {}, "ok\n", "", 0, 0},
        ScriptCase{"lf_crlf_and_no_last_line_end",
                   "@ECHO a\n@ECHO b\r\n@ECHO c",
                   {},
                   "a\nb\nc\n",
                   "",
                   0,
                   0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KorvuCmdTest, FindsProgramsInTheFolderOnPathAndWithExe) {
  TempDir dir;
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::copy_file(kStubEncoder, dir / "here.exe");
  std::filesystem::copy_file(kStubEncoder, dir / "bin/onpath");
  const std::string script =
      dir.Write("find.bat", "@here -a\r\n@onpath \"-b c\"\r\n@bin/onpath.exe\r\n");
  const ChildResult result =
      RunChild({{kKorvuCmd, script},
                {{"PATH", dir / "bin"}, {"KORVU_STUB_RECORD", dir / "record"}},
                dir.path().string(),
                "",
                std::nullopt});

  const std::vector<std::vector<std::string>> expected{{"here", "-a"}, {"onpath", "-b c"}};
  EXPECT_EQ(ReadStubCalls(dir / "record"), expected);
  // bin/onpath.exe does not exist, and a name with an extension gets no ".exe".
  EXPECT_NE(result.err.find("'bin/onpath.exe' is not recognized"), std::string::npos) << result.err;
}

TEST(KorvuCmdTest, WithoutArgumentsPrintsUsage) {
  const ChildResult result = RunChild({{kKorvuCmd}, {}, "", "", std::nullopt});
  EXPECT_NE(result.out.find("Usage: korvu-cmd SCRIPT"), std::string::npos) << result.out;
  EXPECT_NE(result.exit_code, 0);
}

TEST(KorvuCmdTest, PauseOnATerminalWaitsForOneKeyWithoutEcho) {
  TempDir dir;
  const std::string script = dir.Write("pause.bat", "@ECHO OFF\r\nPAUSE\r\nECHO after\r\n");
  PseudoTerminal terminal;
  Child child({{kKorvuCmd, script}, {}, "", "", terminal.slave});
  const auto shown = [&](const char* text) {
    terminal.ReadAvailable();
    return terminal.shown.find(text) != std::string::npos;
  };

  ASSERT_TRUE(WaitFor([&] { return shown("Press any key to continue . . . "); }));
  EXPECT_FALSE(WaitFor([&] { return shown("after"); }, std::chrono::milliseconds(300)));
  terminal.Type("q");  // no Enter: one key is enough
  EXPECT_TRUE(WaitFor([&] { return shown("after"); }));
  EXPECT_EQ(child.Wait().exit_code, 0);
  EXPECT_EQ(terminal.shown.find('q'), std::string::npos) << "the key was echoed";
}

}  // namespace
}  // namespace korvu::test
