#include "app/qt/fields/preview_box.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace korvu::app {
namespace {

const QString kLine = QStringLiteral(
    "/opt/enc/korvu-enc -threads 2 -br 1500 -tff -fmode 2 -aqo 1 -I 4 -ref 4 -bf 2 -pyramid "
    "-i \"/home/ann/My Clips/trip.avs\" -o \"/home/ann/My Clips/trip.264\"");

class PreviewBoxTest : public testing::Test {
 protected:
  PreviewBoxTest() {
    box_.resize(529, 49);
    box_.SetText(kLine);
    box_.show();
    box_.activateWindow();
    box_.setFocus();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&box_));
  }
  QPoint At(int offset) const { return box_.CharacterRect(offset).center(); }

  PreviewBox box_;
};

TEST_F(PreviewBoxTest, WrapsInsideTheBox) {
  EXPECT_GT(box_.LineCount(), 1);
  for (int offset = 0; offset < kLine.size(); ++offset)
    EXPECT_TRUE(box_.contentsRect().contains(box_.CharacterRect(offset))) << offset;
  EXPECT_EQ(box_.OffsetAt(At(40)), 40);
}

TEST_F(PreviewBoxTest, SelectsByMouseAndKeysAndCopies) {
  QTest::mousePress(&box_, Qt::LeftButton, {}, At(0) - QPoint(2, 0));
  QTest::mouseMove(&box_, At(9) - QPoint(2, 0));
  QTest::mouseRelease(&box_, Qt::LeftButton, {}, At(9) - QPoint(2, 0));
  EXPECT_EQ(box_.SelectedText(), "/opt/enc/");
  QTest::mouseDClick(&box_, Qt::LeftButton, {}, At(25));
  EXPECT_EQ(box_.SelectedText(), "-threads");
  box_.SetText(kLine);  // the same line again keeps the selection
  EXPECT_EQ(box_.SelectedText(), "-threads");
  QTest::keyClick(&box_, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&box_, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), kLine);
  box_.SetText(kLine + " ");
  EXPECT_EQ(box_.SelectedText(), "");
}

TEST_F(PreviewBoxTest, CaretKeysMoveAndSelect) {
  const int line_end = box_.OffsetAt(box_.contentsRect().topRight() + QPoint(-1, 6));
  const int below = box_.OffsetAt(At(10) + QPoint(0, box_.CharacterRect(10).height()));
  const int end = static_cast<int>(kLine.size());
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int anchor, position;
  } steps[] = {
      {Qt::Key_Right, Qt::NoModifier, 11, 11},
      {Qt::Key_Right, Qt::ShiftModifier, 10, 11},
      {Qt::Key_Left, Qt::ShiftModifier, 10, 9},
      {Qt::Key_End, Qt::ShiftModifier, 10, line_end},
      {Qt::Key_Home, Qt::NoModifier, 0, 0},
      {Qt::Key_Up, Qt::NoModifier, 10, 10},  // the first line has none above it
      {Qt::Key_Down, Qt::NoModifier, below, below},
      {Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier, 10, end},
      {Qt::Key_Home, Qt::ControlModifier, 0, 0},
      {Qt::Key_X, Qt::NoModifier, 10, 10},
  };
  for (const auto& step : steps) {
    box_.Select(10, 10);
    QTest::keyClick(&box_, step.key, step.modifiers);
    EXPECT_EQ(box_.SelectionStart(), std::min(step.anchor, step.position)) << step.key;
    EXPECT_EQ(box_.SelectionEnd(), std::max(step.anchor, step.position)) << step.key;
  }
}

TEST_F(PreviewBoxTest, ReadsAsReadOnlyTextToScreenReaders) {
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&box_);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->role(), QAccessible::EditableText);
  EXPECT_TRUE(box->state().readOnly);
  ASSERT_NE(box->textInterface(), nullptr);
  EXPECT_EQ(box->textInterface()->text(0, box->textInterface()->characterCount()), kLine);
  EXPECT_EQ(box->text(QAccessible::Value), kLine);
}

}  // namespace
}  // namespace korvu::app
