// The field rules that need no keyboard: the number field's editing, the spin field's rewrite, the
// list searches, the browse start and the line-break cut.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "job/browse_rule.h"
#include "job/error.h"
#include "job/list_search.h"
#include "job/number_edit.h"
#include "job/spin_edit.h"
#include "job/text_rules.h"
#include "tests/support/fake_file_system.h"

namespace korvu::job {
namespace {

using std::chrono::milliseconds;

// A number field's editing, step by step: T<text> types, V validates (the field is left), R
// reverts (Escape), W<text> is a write by the program; the field follows the value as a window's
// does. After each step the value's text is the expected one.
struct NumberEditCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> steps;  // step, text after it
};

class NumberEditTest : public testing::TestWithParam<NumberEditCase> {};

TEST_P(NumberEditTest, KeepsTypedTextUntilValidatedAndRevertsToTheLastValidated) {
  NumberText value("5");
  NumberEdit edit(value);
  value.OnChange([&] { edit.ValueChanged(); });
  for (const auto& [step, expected] : GetParam().steps) {
    const std::string text = step.substr(1);
    switch (step[0]) {
      case 'T':
        edit.Type(text);
        break;
      case 'V':
        edit.Validate();
        break;
      case 'R':
        edit.Revert();
        break;
      case 'W':
        value.SetText(text);
        break;
    }
    EXPECT_EQ(value.Text(), expected) << step;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, NumberEditTest,
    testing::Values(
        NumberEditCase{"TypedStaysAsTyped", {{"T007", "007"}, {"T-", "-"}, {"V", "0"}}},
        NumberEditCase{"LeavingValidates", {{"T007", "007"}, {"V", "7"}}},
        NumberEditCase{"EscapeReturnsToTheLastValidated",
                       {{"T12", "12"}, {"V", "12"}, {"T99", "99"}, {"R", "12"}}},
        NumberEditCase{"EscapeWithoutValidationReturnsToTheStart", {{"T42", "42"}, {"R", "5"}}},
        NumberEditCase{"AProgramWriteIsValidatedAtOnce", {{"W007", "7"}, {"T8", "8"}, {"R", "7"}}},
        // A write of the typed text tells nobody; Escape after it, or after more typing, returns
        // to it all the same.
        NumberEditCase{"AProgramWriteOfTheTypedTextIsValidatedToo",
                       {{"T7", "7"},
                        {"W7", "7"},
                        {"R", "7"},
                        {"T8", "8"},
                        {"W8", "8"},
                        {"T9", "9"},
                        {"R", "8"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A listener that fails while validating leaves the edit knowing the text it validated.
TEST(NumberEditTest, RemembersTheValidatedTextWhenAListenerFails) {
  NumberText value("5");
  NumberEdit edit(value);
  edit.Type("0042");
  value.OnChange([] { throw Error("listener"); });
  EXPECT_THROW(edit.Validate(), Error);
  EXPECT_THROW(edit.Type("9"), Error);
  EXPECT_THROW(edit.Revert(), Error);
  EXPECT_EQ(value.Text(), "42");
}

struct SpinCase {
  const char* name;
  int min, max, initial;
  std::string typed;
  std::size_t caret;
  std::string shown;
  std::size_t shown_caret;
  bool reported;
};

class SpinTextTest : public testing::TestWithParam<SpinCase> {};

TEST_P(SpinTextTest, ReadsCropsAndRewritesAtOnce) {
  const SpinCase& c = GetParam();
  BoundedInt value(c.min, c.max, c.initial);
  int reports = 0;
  value.OnChange([&] { ++reports; });
  SpinEdit edit(value);
  edit.Type(c.typed);
  const SpinText shown = edit.Shown(c.caret);
  EXPECT_EQ(shown.text, c.shown);
  EXPECT_EQ(shown.caret, c.shown_caret);
  EXPECT_EQ(value.Text(), c.shown);
  EXPECT_EQ(reports, c.reported ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpinTextTest,
    testing::Values(SpinCase{"nine_above_the_maximum", 1, 4, 4, "9", 1, "4", 1, false},
                    SpinCase{"cleared_shows_the_minimum", 1, 4, 4, "", 0, "1", 0, true},
                    SpinCase{"leading_zeros_vanish", 0, 100, 5, "007", 3, "7", 1, true},
                    SpinCase{"caret_kept_inside", 0, 100, 25, "205", 2, "100", 2, true},
                    SpinCase{"above_gives_the_nearer_limit", 1, 4, 2, "10", 2, "4", 1, true},
                    SpinCase{"below_gives_the_nearer_limit", 1, 4, 2, "-3", 2, "1", 1, true},
                    SpinCase{"lone_sign_gives_the_minimum", 1, 4, 3, "-", 1, "1", 1, true},
                    SpinCase{"sign_after_a_digit", 1, 4, 3, "3-", 2, "1", 1, true},
                    // Not the nearer limit 4: beyond 32 bits is no number at all.
                    SpinCase{"beyond_32_bits", 1, 4, 3, "99999999999", 11, "1", 1, true},
                    SpinCase{"plus_sign_read", 1, 4, 2, "+3", 2, "3", 1, true},
                    SpinCase{"negative_range", -5, 5, 0, "-3", 2, "-3", 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

const std::vector<std::string> kQualities = {"Fast", "Balanced", "Highest"};

struct CompleteCase {
  const char* name;
  std::string text;
  std::size_t selection_start, selection_length;
  std::string typed;
  int index;  // -1: no completion
  std::string shown;
  std::size_t selected_from;
};

class AutoCompleteTest : public testing::TestWithParam<CompleteCase> {};

TEST_P(AutoCompleteTest, CompletesToTheFirstEntry) {
  const CompleteCase& c = GetParam();
  const auto completion =
      AutoComplete(kQualities, c.text, c.selection_start, c.selection_length, c.typed);
  ASSERT_EQ(completion.has_value(), c.index >= 0);
  if (!completion) return;
  EXPECT_EQ(completion->index, c.index);
  EXPECT_EQ(completion->text, c.shown);
  EXPECT_EQ(completion->selection_start, c.selected_from);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoCompleteTest,
    testing::Values(CompleteCase{"f_over_selected_entry", "Balanced", 0, 8, "f", 0, "Fast", 1},
                    CompleteCase{"x_over_selected_entry", "Balanced", 0, 8, "x", -1, "", 0},
                    CompleteCase{"appends_without_selection", "F", 1, 0, "a", 0, "Fast", 2},
                    CompleteCase{"case_from_the_entry", "b", 1, 0, "A", 1, "Balanced", 2},
                    CompleteCase{"before_selection_only", "Hx", 1, 1, "i", 2, "Highest", 2},
                    CompleteCase{"selected_rest_replaced", "Fast", 1, 3, "i", -1, "", 0},
                    CompleteCase{"whole_text_without_selection", "Ba", 0, 0, "l", 1, "Balanced",
                                 3}),
    [](const auto& info) { return std::string(info.param.name); });

struct TypedKey {
  std::string typed;
  int at_ms;
  int index;  // -1: nothing selected by it
};

TEST(TypeAheadTest, AccumulatesWithinThePauseAndRestartsAfterIt) {
  const std::vector<std::string> sources = {"Progressive", "Interlaced, TFF", "Interlaced, BFF"};
  const TypedKey keys[] = {{"i", 0, 1},    {"N", 400, 1},  {"terlaced, b", 800, 2},
                           {"p", 1300, 0}, {"r", 1799, 0}, {"z", 1900, -1},
                           {"i", 2400, 1}, {"x", 2900, -1}};
  TypeAhead search;
  for (const TypedKey& key : keys) {
    const auto found = search.Type(key.typed, milliseconds(key.at_ms), sources);
    EXPECT_EQ(found.value_or(-1), key.index) << key.typed << " at " << key.at_ms;
  }
}

TEST(ListChoiceTest, AChoiceIsToldEvenWhenAlreadySelected) {
  ListIndex quality(kQualities, 1);
  int changes = 0;
  quality.OnChange([&] { ++changes; });
  quality.Choose(1);
  quality.SetIndex(1);
  quality.Choose(7);
  EXPECT_EQ(quality.Index(), -1);
  EXPECT_EQ(changes, 2);
}

TEST(CheckBoxClickTest, ClicksCheckGrayedAndUncheckedAndUncheckChecked) {
  const std::pair<CheckState, CheckState> cases[] = {
      {CheckState::kGrayed, CheckState::kChecked},
      {CheckState::kUnchecked, CheckState::kChecked},
      {CheckState::kChecked, CheckState::kUnchecked}};
  for (const auto& [before, after] : cases) {
    CheckBox box;
    box.SetState(before);
    box.Click();
    EXPECT_EQ(box.State(), after) << static_cast<int>(before);
  }
}

TEST(LineBreakTest, CutsBeforeTheFirstLineBreakOfEitherKind) {
  const std::pair<std::string, std::string> cases[] = {
      {"ab", "ab"},  {"a\nb", "a"}, {"a\r\nb", "a"}, {"a\rb\nc", "a"},
      {"a\rb", "a"}, {"\nab", ""},  {"", ""},        {"a\tb", "a\tb"}};
  for (const auto& [text, kept] : cases) EXPECT_EQ(CutAtLineBreak(text), kept) << text;
}

TEST(ChosenNameTest, QuotedWhenItHoldsABlankWithoutValidityCheck) {
  EXPECT_EQ(QuotedWhenSplit("/my videos/a?.avi"), "\"/my videos/a?.avi\"");
  EXPECT_EQ(QuotedWhenSplit("\"/my videos/a.avi"), "\"/my videos/a.avi");
  EXPECT_EQ(QuotedWhenSplit("/videos/a.avi"), "/videos/a.avi");
  EXPECT_EQ(QuotedWhenSplit(""), "");
}

struct BrowseCase {
  const char* name;
  PathStyle style;
  std::string text;
  bool kept;  // the dialog keeps its previous folder and name
  std::string folder;
  std::string file;
};

class BrowseStartTest : public testing::TestWithParam<BrowseCase> {};

TEST_P(BrowseStartTest, StartsInTheFolderOfTheFileName) {
  test::FakeFileSystem fs;
  fs.AddFolder("/videos/");
  fs.AddFolder("/videos");
  fs.AddFolder(R"(C:\v\)");
  fs.AddFolder("D:");
  const BrowseCase& c = GetParam();
  const auto start = BrowseStartOf(c.text, PathRules(c.style, fs));
  ASSERT_EQ(!start.has_value(), c.kept);
  if (!start) return;
  EXPECT_EQ(start->folder, c.folder);
  EXPECT_EQ(start->name, c.file);
}

constexpr auto W = PathStyle::kWindows;
constexpr auto P = PathStyle::kPosix;

INSTANTIATE_TEST_SUITE_P(
    Cases, BrowseStartTest,
    testing::Values(BrowseCase{"empty_keeps_the_previous", P, "", true, "", ""},
                    BrowseCase{"invalid_keeps_the_previous", P, "/videos/a?.avi", true, "", ""},
                    BrowseCase{"existing_folder", P, "/videos/a.avi", false, "/videos/", "a.avi"},
                    BrowseCase{"quoted_with_blank", P, "\"/videos/my a.avi\"", false, "/videos/",
                               "my a.avi"},
                    BrowseCase{"missing_folder_keeps_it", P, "/gone/a.avi", false, "", "a.avi"},
                    BrowseCase{"text_names_the_folder", P, "/videos", false, "/videos/", ""},
                    BrowseCase{"no_folder_part", P, "a.avi", false, "", "a.avi"},
                    BrowseCase{"backslash_is_no_separator_on_posix", P, R"(C:\v\a.avi)", false, "",
                               R"(C:\v\a.avi)"},
                    BrowseCase{"windows_folder", W, R"(C:\v\a.avi)", false, R"(C:\v\)", "a.avi"},
                    BrowseCase{"windows_drive_colon", W, "D:a.avi", false, "D:", "a.avi"},
                    BrowseCase{"windows_slash_refused", W, "C:/v/a.avi", true, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvu::job
