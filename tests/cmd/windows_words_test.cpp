#include "cmd/windows_words.h"

#include <gtest/gtest.h>

namespace korvu::cmd {
namespace {

struct ArgumentsCase {
  const char* name;
  std::string text;
  std::vector<std::string> arguments;
};

class SplitArgumentsTest : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(SplitArgumentsTest, FollowsTheCRuntimeRules) {
  EXPECT_EQ(SplitArguments(GetParam().text), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitArgumentsTest,
    testing::Values(
        ArgumentsCase{"empty", "", {}}, ArgumentsCase{"only_separators", " \t ", {}},
        ArgumentsCase{"blanks_and_tabs_separate", " a\tb  c ", {"a", "b", "c"}},
        ArgumentsCase{"quoted_blank_stays", R"("abc" d e)", {"abc", "d", "e"}},
        ArgumentsCase{"quotes_inside_a_word", R"(a\\b d"e f"g h)", {R"(a\\b)", "de fg", "h"}},
        ArgumentsCase{"odd_backslashes_give_a_quote", R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
        ArgumentsCase{"even_backslashes_then_quote", R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
        ArgumentsCase{"doubled_quote_inside_quotes", R"(a"b"" c d)", {R"(ab" c d)"}},
        ArgumentsCase{
            "doubled_quotes_in_a_quoted_name", R"("say ""hi"" now")", {R"(say "hi" now)"}},
        ArgumentsCase{"empty_quotes_are_an_argument", R"(a "" b)", {"a", "", "b"}},
        ArgumentsCase{"four_quotes", R"("""")", {R"(")"}},
        ArgumentsCase{"trailing_backslash", R"(a\)", {R"(a\)"}},
        ArgumentsCase{"backslash_before_closing_quote", R"("C:\dir\\" x)", {R"(C:\dir\)", "x"}},
        ArgumentsCase{
            "unquoted_path_splits", R"(C:\Program Files\x)", {R"(C:\Program)", "Files\\x"}},
        ArgumentsCase{"unterminated_quote_runs_to_the_end", R"(a "b c)", {"a", "b c"}},
        ArgumentsCase{"operators_are_plain",
                      R"(a&b "c|d" <e> ^f %g% !h! (i);j,k)",
                      {"a&b", "c|d", "<e>", "^f", "%g%", "!h!", "(i);j,k"}},
        ArgumentsCase{"high_bytes_are_plain",
                      "Gr\xC3\xBC\xC3\x9F"
                      "e \xE4",
                      {"Gr\xC3\xBC\xC3\x9F"
                       "e",
                       "\xE4"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ProgramCase {
  const char* name;
  std::string command_line;
  std::string program;
  std::string rest;
};

class SplitProgramWordTest : public testing::TestWithParam<ProgramCase> {};

TEST_P(SplitProgramWordTest, ReadsTheProgramLikeArgvZero) {
  const ProgramWord word = SplitProgramWord(GetParam().command_line);
  EXPECT_EQ(word.program, GetParam().program);
  EXPECT_EQ(word.rest, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitProgramWordTest,
    testing::Values(ProgramCase{"quoted_with_blank", R"("C:\Program Files\enc.exe" -npass 1)",
                                R"(C:\Program Files\enc.exe)", "-npass 1"},
                    ProgramCase{"plain", "enc.exe  -a", "enc.exe", " -a"},
                    ProgramCase{"leading_blanks", " \tenc", "enc", ""},
                    ProgramCase{"quote_in_the_middle", R"(C:\a" b"\enc x)", R"(C:\a b\enc)", "x"},
                    ProgramCase{"backslash_is_not_an_escape", R"("C:\dir\" x)", R"(C:\dir\)", "x"},
                    ProgramCase{"unterminated_quote", R"("C:\my job.bat)", R"(C:\my job.bat)", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitBatchParametersTest, KeepsQuotesAndSplitsAtTheInterpretersSeparators) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      {" \t ", {}},
      {"A1 \"B 2\"  C3", {"A1", "\"B 2\"", "C3"}},
      {"a,b;c=d\te", {"a", "b", "c", "d", "e"}},
      {"\"x,y;z=w\" \"\"", {"\"x,y;z=w\"", "\"\""}},
      {"pre\"a b\"post \"open end", {"pre\"a b\"post", "\"open end"}},
      {"--folder -x C:\\dir\\", {"--folder", "-x", "C:\\dir\\"}}};
  for (const auto& [text, parameters] : cases)
    EXPECT_EQ(SplitBatchParameters(text), parameters) << text;
}

TEST(IsBatchNameTest, KnowsBatAndCmdInAnyCase) {
  for (const char* name : {"job.bat", "JOB.BAT", "a b.Cmd", "/x/.bat"})
    EXPECT_TRUE(IsBatchName(name)) << name;
  for (const char* name : {"job.bat.exe", "bat", "jobbat", "job.bash", ""})
    EXPECT_FALSE(IsBatchName(name)) << name;
}

}  // namespace
}  // namespace korvu::cmd
