#include "app/qt/fields/number_field.h"

#include <QClipboard>

#include "tests/app/field_test_util.h"

namespace korvu::app {
namespace {

struct TypingCase {
  const char* name;
  const char* keys;  // typed into the emptied field
  const char* shown;
  std::int32_t value;
  std::int64_t as_integer;
  const char* left;  // the text after leaving the field
};

class NumberTypingTest : public testing::TestWithParam<TypingCase> {};

TEST_P(NumberTypingTest, KeepsTheTypedTextUntilTheFieldIsLeft) {
  const TypingCase& c = GetParam();
  job::NumberText bitrate("700");
  test::Host host;
  auto& field = host.Add<NumberField>(bitrate);
  host.Focus(field);
  QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&field, Qt::Key_Backspace);
  QTest::keyClicks(&field, c.keys);
  EXPECT_EQ(field.text().toStdString(), c.shown);
  EXPECT_EQ(bitrate.Text(), c.shown);
  EXPECT_EQ(bitrate.Value(), c.value);
  EXPECT_EQ(bitrate.AsInteger(), c.as_integer);
  host.Leave();
  EXPECT_EQ(field.text().toStdString(), c.left);
  EXPECT_EQ(bitrate.Text(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberTypingTest,
    testing::Values(TypingCase{"leading_zeros", "007", "007", 7, 7, "7"},
                    TypingCase{"negative", "-5", "-5", -5, -5, "0"},
                    TypingCase{"empty", "", "", 0, 0, "0"},
                    TypingCase{"above_32_bits", "2147483648", "2147483648", 0, 2147483648,
                               "2147483648"},
                    TypingCase{"plus_sign", "+12", "+12", 12, 12, "12"},
                    TypingCase{"second_minus_dropped", "--5", "-5", -5, -5, "0"},
                    TypingCase{"minus_after_digit_dropped", "5-", "5", 5, 5, "5"},
                    TypingCase{"letters_and_blanks_dropped", "1a 2.5", "125", 125, 125, "125"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberFieldTest, MinusOnlyAtTheStartAndOnce) {
  job::NumberText frames("12");
  test::Host host;
  auto& field = host.Add<NumberField>(frames);
  host.Focus(field);
  QTest::keyClick(&field, Qt::Key_End);
  QTest::keyClick(&field, Qt::Key_Minus);
  EXPECT_EQ(field.text(), "12");
  QTest::keyClick(&field, Qt::Key_Home);
  QTest::keyClick(&field, Qt::Key_Minus);
  EXPECT_EQ(field.text(), "-12");
  QTest::keyClick(&field, Qt::Key_Home);
  QTest::keyClick(&field, Qt::Key_Minus);
  EXPECT_EQ(field.text(), "-12");
  // Over a selection the sign replaces what was selected.
  QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&field, Qt::Key_Minus);
  EXPECT_EQ(field.text(), "-");
}

TEST(NumberFieldTest, EveryTextChangeIsOneChangeEvent) {
  job::NumberText bitrate("0");
  test::Changes changes(bitrate);
  test::Host host;
  auto& field = host.Add<NumberField>(bitrate);
  host.Focus(field);
  QTest::keyClick(&field, Qt::Key_Home);
  QTest::keyClicks(&field, "007");  // 00, 000, 0070 (the old 0 stays behind)
  EXPECT_EQ(bitrate.Text(), "0070");
  EXPECT_EQ(changes.count, 3);
  host.Leave();
  EXPECT_EQ(bitrate.Text(), "70");
  EXPECT_EQ(changes.count, 4);
  host.Focus(field);
  host.Leave();
  EXPECT_EQ(changes.count, 4);
}

TEST(NumberFieldTest, EscapeReturnsToTheLastValidatedTextSelected) {
  job::NumberText bitrate("700");
  test::Host host;
  auto& field = host.Add<NumberField>(bitrate);
  host.Focus(field);
  QTest::keyClick(&field, Qt::Key_End);
  QTest::keyClicks(&field, "12");
  EXPECT_EQ(bitrate.Text(), "70012");
  QTest::keyClick(&field, Qt::Key_Escape);
  EXPECT_EQ(field.text(), "700");
  EXPECT_EQ(bitrate.Text(), "700");
  EXPECT_EQ(field.selectedText(), "700");
  // A value the program wrote is validated, so Escape returns to it.
  bitrate.SetValue(1500);
  QTest::keyClicks(&field, "9");
  QTest::keyClick(&field, Qt::Key_Escape);
  EXPECT_EQ(field.text(), "1500");
}

TEST(NumberFieldTest, ValidatesWhatTheProgramWrites) {
  job::NumberText frames("0");
  test::Changes changes(frames);
  test::Host host;
  auto& field = host.Add<NumberField>(frames);
  frames.SetText("+007");
  EXPECT_EQ(field.text(), "7");
  EXPECT_EQ(changes.count, 2);  // the write and its validation
  frames.SetValue(-3);
  EXPECT_EQ(field.text(), "0");
}

TEST(NumberFieldTest, ValidatesRightAfterAPasteAndAtCreation) {
  job::NumberText bitrate("0070");
  test::Host host;
  auto& field = host.Add<NumberField>(bitrate);
  EXPECT_EQ(bitrate.Text(), "70");
  EXPECT_EQ(field.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  host.Focus(field);
  QApplication::clipboard()->setText(QStringLiteral(" -\n1x5"));
  QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(field.text(), "15");
}

}  // namespace
}  // namespace korvu::app
