#include "job/settings_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace korvu::job {
namespace {

using namespace std::string_literals;

// A written text in a compact form for comparisons: "[name]line|line" for each section. A section
// is written as its header, its lines and one empty line, each line ended by CR LF.
std::string Show(std::string_view written) {
  std::string shown;
  bool header = true, first = false;
  for (std::size_t end; !written.empty(); written.remove_prefix(end + 2)) {
    end = written.find("\r\n");
    if (end == std::string_view::npos) return shown + "<no CR LF at the end>";
    const std::string_view line = written.substr(0, end);
    if (line.empty()) {
      header = true;
      continue;
    }
    if (!header && !first) shown += '|';
    shown += line;
    first = std::exchange(header, false);
  }
  return shown;
}

struct LayoutCase {
  const char* name;
  std::string bytes;
  std::string parsed;  // as Show() gives it
};

class LayoutTest : public testing::TestWithParam<LayoutCase> {};

// What a save's rewrite keeps of the text, whatever its layout.
TEST_P(LayoutTest, ReadsAsASaveKeepsIt) {
  EXPECT_EQ(Show(RewriteSettingsText(GetParam().bytes, "New", {})), GetParam().parsed + "[New]");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutTest,
    testing::Values(
        LayoutCase{"empty", "", ""},
        LayoutCase{"mixed_ends", "\r[A]\nk=1\r\nj=2\rm=3\n\rn=4\r\n\r", "[A]k=1|j=2|m=3|n=4"},
        LayoutCase{"cr_cr_lf_is_two_ends", "[A]\r\r\nk=1", "[A]k=1"},
        LayoutCase{"lone_cr_before_nul", "[A]\rk=1\r\0j=2\r"s, "[A]k=1"},
        LayoutCase{"nul_inside_a_line", "[A]\r\nk=1\0j=2"s, "[A]k=1"},
        LayoutCase{"lines_before_the_first_header", "k=1\r\nloose\r\n[A]\r\nj=2", "[A]j=2"},
        LayoutCase{"control_characters_trimmed", "\t[A]\x01\r\n\x1F k = 1 \x7F\x0B\r\n",
                   "[A]k=1 \x7F"},
        LayoutCase{"byte_order_mark_hides_a_header", "\xEF\xBB\xBF[A]\r\nk=1\r\n[B]", "[B]"},
        LayoutCase{"high_bytes_kept", "[A\xE4]\r\n\xA0k=\xFC\xA0", "[A\xE4]\xA0k=\xFC\xA0"},
        LayoutCase{"comments_and_blank_lines", "[A]\r\n;k=1\r\n  ; j=2\r\n\r\n  \r\nm=3", "[A]m=3"},
        LayoutCase{"semicolon_inside_a_value", "[A]\r\nk=1 ; note", "[A]k=1 ; note"},
        LayoutCase{"header_name_trimmed", "[ \t A b \t]\r\nk=1", "[A b]k=1"},
        // Before any header such a line is dropped, inside a section it is kept.
        LayoutCase{"header_with_comment_is_a_line", "[B] ; x\r\nj=2\r\n[A]\r\n[B] ; note\r\nj=2",
                   "[A][B] ; note|j=2"},
        LayoutCase{"brackets_in_headers", "[]\r\nk=1\r\n[[A]]\r\n[a]b]", "[]k=1[[A]][a]b]"},
        LayoutCase{"lone_bracket_is_no_header", "[A]\r\n[\r\n]\r\n[x", "[A][|]|[x"},
        LayoutCase{"entry_trimmed_around_the_first_equals", "[A]\r\n  k \t= v = w  ", "[A]k=v = w"},
        LayoutCase{"empty_key_value_and_no_equals", "[A]\r\n = \r\nk=\r\n  just words  ",
                   "[A]=|k=|just words"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LookupCase {
  const char* name;
  std::string bytes;
  std::string section;
  std::string key;
  std::optional<std::string> value;
};

class LookupTest : public testing::TestWithParam<LookupCase> {};

// A load reads the section in one pass, without keeping the text.
TEST_P(LookupTest, FindsTheLastSectionAndTheLastLine) {
  const std::string_view keys[] = {GetParam().key, "other"};
  const SectionValues read = ReadSectionValues(GetParam().bytes, GetParam().section, keys);
  ASSERT_EQ(read.values.size(), 2u);
  EXPECT_EQ(read.values[0], GetParam().value);
  EXPECT_EQ(read.found, GetParam().name != "no_section"s);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupTest,
    testing::Values(
        LookupCase{"plain", "[A]\nk=1", "A", "k", "1"},
        LookupCase{"any_case", "[kOrVu]\nThReAdS=1", "KORVU", "threads", "1"},
        LookupCase{"last_section_of_a_name", "[A]\nk=1\n[B]\nk=2\n[a]\nj=3", "A", "k",
                   std::nullopt},
        LookupCase{"last_line_of_a_key", "[A]\nk=1\nK=2\nj=3", "A", "k", "2"},
        LookupCase{"empty_value", "[A]\nk=", "A", "k", ""},
        LookupCase{"line_without_equals_is_no_key", "[A]\nk", "A", "k", std::nullopt},
        LookupCase{"key_is_not_a_prefix", "[A]\nkey=1", "A", "k", std::nullopt},
        LookupCase{"value_after_the_first_equals", "[A]\nk==1=2", "A", "k", "=1=2"},
        LookupCase{"no_section", "[B]\nk=1", "A", "k", std::nullopt},
        LookupCase{"last_section_without_the_key", "[A]\nk=1\n[a]\nj=2", "A", "k", std::nullopt},
        LookupCase{"blanks_around_key_and_value", "[A]\n K \t= v w \r", "A", "k", "v w"}),
    [](const auto& info) { return std::string(info.param.name); });

struct EditCase {
  const char* name;
  std::string bytes;
  std::string after;  // as Show() gives it, the last "K" removed, then K/Key=new and K/Other=
};

class EditTest : public testing::TestWithParam<EditCase> {};

// A save's rewrite, with a second key too, which no file here holds.
TEST_P(EditTest, RemovesTheLastSectionThenSetsInPlaceOrAppends) {
  const SettingsEntry entries[] = {{"Key", "new"}, {"Other", ""}};
  EXPECT_EQ(Show(RewriteSettingsText(GetParam().bytes, "K", entries)), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditTest,
    testing::Values(EditCase{"empty", "", "[K]Key=new|Other="},
                    EditCase{"section_created_at_the_end", "[A]\nx=1\n[k]\nkey=old\n[B]",
                             "[A]x=1[B][K]Key=new|Other="},
                    EditCase{"earlier_section_gets_the_key_in_place",
                             "[k]\na=1\nKEY=old\nb=2\nkey=older\nc=3\n[K]\nKey=gone",
                             "[k]a=1|KEY=old|b=2|Key=new|c=3|Other="},
                    EditCase{"earlier_section_gets_the_key_appended", "[K]\na=1\n[B]\n[K]",
                             "[K]a=1|Key=new|Other=[B]"},
                    EditCase{"three_sections_of_the_name",
                             "[K]\nkey=1\n[k]\nx=1\r\nKEY=2\rKey = 3\n[K]\nkey=4",
                             "[K]key=1[k]x=1|KEY=2|Key=new|Other="}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvu::job
