#include "job/text_rules.h"

#include <gtest/gtest.h>

namespace korvu::job {
namespace {

struct QuoteCase {
  const char* name;
  std::string text;
  std::string quoted;
};

class QuotePathTest : public testing::TestWithParam<QuoteCase> {};

TEST_P(QuotePathTest, Normalises) {
  EXPECT_EQ(QuotePath(GetParam().text), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuotePathTest,
    testing::Values(
        QuoteCase{"plain", R"(C:\a.avi)", R"(C:\a.avi)"},
        QuoteCase{"blank_gets_quotes", R"(C:\My Videos\a.avi)", R"("C:\My Videos\a.avi")"},
        QuoteCase{"quoted_with_blank_stays", R"("C:\My Videos\a.avi")", R"("C:\My Videos\a.avi")"},
        QuoteCase{"quoted_without_blank_loses_quotes", R"("C:\a.avi")", R"(C:\a.avi)"},
        QuoteCase{"blank_before_quote_prevents_dequote", R"( "C:\My V\a.avi")",
                  R"("""C:\My V\a.avi""")"},
        QuoteCase{"opening_quote_only", R"("C:\a.avi)", R"(C:\a.avi)"},
        QuoteCase{"text_after_closing_quote_dropped", R"("C:\a.avi" -x)", R"(C:\a.avi)"},
        QuoteCase{"two_quotes_stay", R"("")", R"("")"},
        QuoteCase{"doubled_quote_inside", R"("a""b")", R"(a"b)"},
        QuoteCase{"doubled_quotes_requoted", R"("say ""hi"" now")", R"("say ""hi"" now")"},
        QuoteCase{"quoted_blank_becomes_empty", R"(" ")", ""},
        // A tab ends a first word as a blank does, so it needs the quotes as much.
        QuoteCase{"tab_gets_quotes", "a\tb", "\"a\tb\""},
        QuoteCase{"trims_controls_and_blanks", "\x01 x.avi \r\n", "x.avi"},
        QuoteCase{"high_bytes_stay", "\xE4 \xFC", "\"\xE4 \xFC\""}, QuoteCase{"empty", "", ""},
        // The command interpreter's operators must never stand unquoted in the job script.
        QuoteCase{"ampersand", R"(D:\clips\Tom&Jerry.avs)", R"("D:\clips\Tom&Jerry.avs")"},
        QuoteCase{"redirection", "x>report.doc", R"("x>report.doc")"},
        QuoteCase{"input_redirection", "a<b", R"("a<b")"}, QuoteCase{"pipe", "a|b", R"("a|b")"},
        QuoteCase{"caret", "a^b", R"("a^b")"},
        QuoteCase{"operator_and_quote", R"(a&"b)", R"("a&""b")"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextRulesTest, TrimAndLowerTouchOnlyWhatTheySay) {
  EXPECT_EQ(Trim(std::string_view("\0 a b \x1f", 7)), "a b");
  EXPECT_EQ(LowerAscii("DIVX264_Stat.DAT \xC4"), "divx264_stat.dat \xC4");
}

}  // namespace
}  // namespace korvu::job
