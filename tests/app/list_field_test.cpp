#include "app/qt/fields/list_field.h"

#include <QAbstractItemView>
#include <QLineEdit>

#include "tests/app/field_test_util.h"

namespace korvu::app {
namespace {

using std::chrono::milliseconds;

// EncQuality's editable list with "Balanced" selected and its whole text selected.
class EditableListTest : public testing::Test {
 protected:
  void SetUp() override {
    host.Focus(field);
    field.lineEdit()->selectAll();
  }

  job::ListIndex quality{{"Fast", "Balanced", "Highest"}, 1};
  test::Changes changes{quality};
  test::Host host;
  ListField& field = host.Add<ListIndexField>(quality, ListIndexField::Style::kEditable);
};

TEST_F(EditableListTest, TypedLetterCompletesToAnEntry) {
  QTest::keyClick(&field, Qt::Key_F);
  EXPECT_EQ(field.currentText(), "Fast");
  EXPECT_EQ(field.lineEdit()->selectedText(), "ast");
  EXPECT_EQ(quality.Index(), 0);
  EXPECT_EQ(changes.count, 1);
  QTest::keyClick(&field, Qt::Key_A);  // replaces the selection and completes again
  EXPECT_EQ(field.lineEdit()->selectedText(), "st");
  EXPECT_EQ(changes.count, 1);
}

TEST_F(EditableListTest, TextThatNoEntryBeginsWithSelectsNone) {
  QTest::keyClick(&field, Qt::Key_X);
  EXPECT_EQ(field.currentText(), "x");
  EXPECT_EQ(quality.Index(), -1);
  EXPECT_EQ(changes.count, 1);
}

TEST_F(EditableListTest, BackspaceDeletesAndSelectsNone) {
  QTest::keyClick(&field, Qt::Key_F);
  QTest::keyClick(&field, Qt::Key_Backspace);
  EXPECT_EQ(field.currentText(), "F");
  EXPECT_EQ(quality.Index(), -1);
  EXPECT_EQ(changes.count, 2);
  QTest::keyClick(&field, Qt::Key_Backspace);
  EXPECT_EQ(field.currentText(), "");
}

TEST_F(EditableListTest, ProgramWritesShowAndChoosingTheSameEntryFires) {
  quality.SetIndex(2);
  EXPECT_EQ(field.currentText(), "Highest");
  EXPECT_EQ(changes.count, 1);  // the write's own, nothing more
  field.showPopup();
  QTest::keyClick(field.view(), Qt::Key_Return);
  EXPECT_EQ(quality.Index(), 2);
  EXPECT_EQ(changes.count, 2);
}

TEST(FixedListTest, TypeAheadAccumulatesWithinTheHalfSecondPause) {
  job::ListIndex source{{"Progressive", "Interlaced, TFF", "Interlaced, BFF"}, 0};
  test::Changes changes(source);
  test::Host host;
  auto& field = host.Add<ListIndexField>(source, ListIndexField::Style::kFixed);
  milliseconds now{0};
  field.SetClock([&] { return now; });
  host.Focus(field);
  QTest::keyClick(&field, Qt::Key_I);
  EXPECT_EQ(source.Index(), 1);
  for (const char* part : {"nterlaced", ", b"}) {
    now += milliseconds(499);
    QTest::keyClicks(&field, part);
  }
  EXPECT_EQ(source.Index(), 2);
  EXPECT_EQ(changes.count, 2);
  now += milliseconds(500);
  QTest::keyClick(&field, Qt::Key_P);
  EXPECT_EQ(field.currentText(), "Progressive");
  EXPECT_EQ(changes.count, 3);
}

TEST(FreeTextListTest, CompletesAndKeepsAnyTypedText) {
  job::TextValue fps;
  test::Changes changes(fps);
  test::Host host;
  auto& field = host.Add<FreeTextList>(fps, std::vector<std::string>{"24000/1001", "24", "25"});
  host.Focus(field);
  QTest::keyClick(&field, Qt::Key_2);
  EXPECT_EQ(fps.Text(), "24000/1001");
  QTest::keyClick(&field, Qt::Key_5);
  EXPECT_EQ(fps.Text(), "25");
  QTest::keyClick(&field, Qt::Key_End);
  QTest::keyClicks(&field, ".5");
  EXPECT_EQ(fps.Text(), "25.5");
  EXPECT_EQ(changes.count, 4);
  fps.SetText("30");
  EXPECT_EQ(field.currentText(), "30");
}

}  // namespace
}  // namespace korvu::app
