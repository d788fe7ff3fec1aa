#include "job/number_text.h"

#include <gtest/gtest.h>

#include "job/values.h"

namespace korvu::job {
namespace {

struct ReadingCase {
  std::string text;
  std::int32_t value;
  std::int64_t as_integer;
  std::string validated;
};

class NumberReadingTest : public testing::TestWithParam<ReadingCase> {};

TEST_P(NumberReadingTest, ReadsAndValidates) {
  const ReadingCase& c = GetParam();
  EXPECT_EQ(NumberValue(c.text), c.value) << c.text;
  EXPECT_EQ(NumberAsInteger(c.text), c.as_integer) << c.text;
  EXPECT_EQ(ValidatedNumberText(c.text), c.validated) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberReadingTest,
    testing::Values(ReadingCase{"007", 7, 7, "7"}, ReadingCase{"", 0, 0, "0"},
                    ReadingCase{"+", 0, 0, "0"}, ReadingCase{"-", 0, 0, "0"},
                    ReadingCase{"+12", 12, 12, "12"}, ReadingCase{"-5", -5, -5, "0"},
                    ReadingCase{"-0", 0, 0, "0"},
                    ReadingCase{"2147483647", 2147483647, 2147483647, "2147483647"},
                    ReadingCase{"2147483648", 0, 2147483648, "2147483648"},
                    ReadingCase{"-2147483648", -2147483647 - 1, -2147483648LL, "0"},
                    ReadingCase{"9223372036854775807", 0, 9223372036854775807LL,
                                "9223372036854775807"},
                    ReadingCase{"9223372036854775808", 0, 0, "0"},
                    ReadingCase{"-9223372036854775808", 0, INT64_MIN, "0"},
                    ReadingCase{"99999999999999999999", 0, 0, "0"},
                    // Anything that could not have been typed is dropped on validation.
                    ReadingCase{" 5", 0, 0, "5"}, ReadingCase{"1,000", 0, 0, "1000"},
                    ReadingCase{"1a2", 0, 0, "12"}, ReadingCase{"1-2", 0, 0, "12"},
                    ReadingCase{"--5", 0, 0, "0"}, ReadingCase{"+-5", 0, 0, "5"},
                    ReadingCase{"0x10", 0, 0, "10"},
                    // A sign counts only where it stands in the text, not after what was dropped.
                    ReadingCase{"x-5", 0, 0, "5"}, ReadingCase{" -\n1", 0, 0, "1"},
                    ReadingCase{"1\t2", 0, 0, "12"}));

struct KeyCase {
  char key;
  std::string text;
  std::size_t caret;
  bool selection;
  bool accepted;
};

class NumberKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(NumberKeyTest, TakesDigitsAndOneLeadingSign) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(AcceptsNumberKey(c.key, c.text, c.caret, c.selection), c.accepted)
      << c.key << " into " << c.text << " at " << c.caret;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberKeyTest,
    testing::Values(KeyCase{'7', "12", 1, false, true}, KeyCase{'\b', "12", 2, false, true},
                    KeyCase{'-', "", 0, false, true}, KeyCase{'-', "5", 0, false, true},
                    KeyCase{'-', "5", 1, false, false}, KeyCase{'-', "-5", 0, false, false},
                    KeyCase{'-', "-5", 0, true, true}, KeyCase{'+', "-5", 0, false, true},
                    KeyCase{'+', "+5", 0, false, false}, KeyCase{'a', "", 0, false, false},
                    KeyCase{' ', "1", 1, false, false}, KeyCase{'.', "1", 1, false, false}));

TEST(NumberTextTest, KeepsTypedTextUntilValidated) {
  NumberText bitrate;
  int changes = 0;
  bitrate.OnChange([&] { ++changes; });
  bitrate.SetText("007");
  EXPECT_EQ(bitrate.Text(), "007");
  EXPECT_EQ(bitrate.Value(), 7);
  bitrate.Validate();
  EXPECT_EQ(bitrate.Text(), "7");
  bitrate.Validate();
  EXPECT_EQ(changes, 2);
}

TEST(NumberTextTest, SetValueNeverGoesBelowZero) {
  NumberText frames;
  frames.SetValue(-5);
  EXPECT_EQ(frames.Text(), "0");
  frames.SetValue(3000000000);
  EXPECT_EQ(frames.Text(), "3000000000");
  EXPECT_EQ(frames.Value(), 0);
  EXPECT_EQ(frames.AsInteger(), 3000000000);
}

}  // namespace
}  // namespace korvu::job
