#include "cmd/line_text.h"

#include <gtest/gtest.h>

#include "cmd/statement.h"

namespace korvu::cmd {
namespace {

struct ExpandCase {
  const char* name;
  std::string line;
  std::string expanded;
};

class ExpandPercentsTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandPercentsTest, ExpandsAsABatchFileDoes) {
  const VariableLookup lookup = [](std::string_view name) -> std::optional<std::string> {
    if (name == "A") return "1";
    if (name == "B") return "two words";
    if (name == "EMPTY") return "";
    return std::nullopt;
  };
  EXPECT_EQ(ExpandPercents(GetParam().line, lookup, {"job.bat"}), GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandPercentsTest,
    testing::Values(
        ExpandCase{"doubled_percent", "100%%", "100%"}, ExpandCase{"variable", "x%A%y", "x1y"},
        ExpandCase{"adjacent_variables", "%A%%B%", "1two words"},
        ExpandCase{"unset_variable_vanishes", "[%NOPE%]", "[]"},
        ExpandCase{"empty_variable", "[%EMPTY%]", "[]"},
        ExpandCase{"lone_percent_dropped", "50% done", "50 done"},
        ExpandCase{"no_second_expansion", "%%A%%", "%A%"},
        ExpandCase{"arguments", "[%0][%1][%9][%*]", "[job.bat][][][]"},
        // Why the job script doubles every '%': single ones eat text between them.
        ExpandCase{"single_percents_in_a_path", R"(C:\100%\a %b.avi)", R"(C:\100b.avi)"},
        ExpandCase{"doubled_percents_in_a_path", R"(C:\100%%\a %%b.avi)", R"(C:\100%\a %b.avi)"}),
    [](const auto& info) { return std::string(info.param.name); });

struct EscapeCase {
  const char* name;
  std::string line;
  std::string text;        // when no operator
  char unquoted_operator;  // '\0' for none
};

class ResolveEscapesTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(ResolveEscapesTest, ResolvesCaretsAndFindsOperators) {
  const ResolvedLine resolved = ResolveEscapes(GetParam().line);
  EXPECT_EQ(resolved.unquoted_operator.value_or('\0'), GetParam().unquoted_operator);
  if (!GetParam().unquoted_operator) {
    EXPECT_EQ(resolved.text, GetParam().text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveEscapesTest,
    testing::Values(EscapeCase{"caret_escapes", "a^&b^^c^|d", "a&b^c|d", 0},
                    EscapeCase{"quotes_keep_everything", R"("a^&b" "<|>")", R"("a^&b" "<|>")", 0},
                    EscapeCase{"trailing_caret_dropped", "a^", "a", 0},
                    EscapeCase{"doubled_quotes_keep_quoting", R"("x""&""y")", R"("x""&""y")", 0},
                    EscapeCase{"ampersand", "a & b", "", '&'}, EscapeCase{"pipe", "a|b", "", '|'},
                    EscapeCase{"input", "a <b", "", '<'}, EscapeCase{"output", "a>b", "", '>'},
                    EscapeCase{"after_a_closed_quote", R"("a" & b)", "", '&'},
                    EscapeCase{"escaped_quote_does_not_open", R"(^"a & b")", "", '&'}),
    [](const auto& info) { return std::string(info.param.name); });

// A short description of a statement, to compare in one string.
std::string Describe(const Statement& statement) {
  struct {
    std::string operator()(const Echo& echo) { return "echo[" + echo.text + "]"; }
    std::string operator()(const EchoSwitch& echo) { return echo.on ? "echo-on" : "echo-off"; }
    std::string operator()(const EchoQuery&) { return "echo?"; }
    std::string operator()(const Pause&) { return "pause"; }
    std::string operator()(const Nothing&) { return "nothing"; }
    std::string operator()(const Goto& jump) { return "goto[" + jump.label + "]"; }
    std::string operator()(const IfErrorLevel& condition) {
      return std::string("if") + (condition.negated ? " not " : " ") +
             std::to_string(condition.level) + "[" + condition.command + "]";
    }
    std::string operator()(const Unsupported&) { return "unsupported"; }
    std::string operator()(const RunProgram& run) { return "run[" + run.command_line + "]"; }
  } describe;
  return std::visit(describe, statement);
}

struct StatementCase {
  const char* name;
  std::string line;
  std::string description;
};

class ParseStatementTest : public testing::TestWithParam<StatementCase> {};

TEST_P(ParseStatementTest, RecognisesTheBuiltIns) {
  EXPECT_EQ(Describe(ParseStatement(GetParam().line)), GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseStatementTest,
    testing::Values(
        StatementCase{"echo_text", "ECHO hi", "echo[hi]"},
        StatementCase{"echo_keeps_inner_blanks", "echo   two  blanks ", "echo[  two  blanks ]"},
        StatementCase{"echo_bell", "ECHO \a", "echo[\a]"},
        StatementCase{"echo_alone", "ECHO", "echo?"},
        StatementCase{"echo_off_any_case", "eCHO oFF ", "echo-off"},
        StatementCase{"echo_on", "ECHO ON", "echo-on"},
        StatementCase{"echo_dot", "ECHO.", "echo[]"},
        StatementCase{"echo_glued", "ECHOx", "run[ECHOx]"},
        StatementCase{"pause", "pause", "pause"}, StatementCase{"goto", "GOTO End", "goto[End]"},
        StatementCase{"goto_colon", "goto :end rest", "goto[end]"},
        StatementCase{"goto_alone", "GOTO", "goto[]"},
        StatementCase{"if_errorlevel", "IF ERRORLEVEL 1 GOTO End", "if 1[GOTO End]"},
        StatementCase{"if_not", "if not errorlevel 2 echo x", "if not 2[echo x]"},
        StatementCase{"if_exist", "IF EXIST a b", "unsupported"},
        StatementCase{"if_bad_number", "IF ERRORLEVEL 1x y", "unsupported"},
        StatementCase{"if_no_command", "IF ERRORLEVEL 1", "unsupported"},
        StatementCase{"rem", "REM a & b", "nothing"},
        StatementCase{"remark_is_a_program", "REMARK", "run[REMARK]"},
        StatementCase{"program", R"(  "C:\enc.exe" -npass 1 )", R"(run["C:\enc.exe" -npass 1 ])"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvu::cmd
