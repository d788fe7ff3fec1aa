#include "app/qt/fields/spin_field.h"

#include <QSignalSpy>
#include <QWheelEvent>

#include "app/qt/fields/arrow_strip.h"
#include "tests/app/field_test_util.h"

namespace korvu::app {
namespace {

// A spin field with the limits 1 to 4, as GOPSec has them.
class SpinFieldTest : public testing::Test {
 protected:
  void SetUp() override { host.Focus(field); }

  job::BoundedInt gop{1, 4, 4};
  test::Changes changes{gop};
  test::Host host;
  SpinField& field = host.Add<SpinField>(gop);
};

TEST_F(SpinFieldTest, TypingAboveTheMaximumShowsItAtOnceAndFiresNothing) {
  QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&field, Qt::Key_9);
  EXPECT_EQ(field.text(), "4");
  EXPECT_EQ(changes.count, 0);
}

TEST_F(SpinFieldTest, DeletingTheTextShowsTheMinimumAndFires) {
  QTest::keyClick(&field, Qt::Key_End);
  QTest::keyClick(&field, Qt::Key_Backspace);
  EXPECT_EQ(field.text(), "1");
  EXPECT_EQ(gop.Value(), 1);
  EXPECT_EQ(changes.count, 1);
}

TEST_F(SpinFieldTest, ArrowKeysStepWithinTheLimits) {
  QTest::keyClick(&field, Qt::Key_Up);
  EXPECT_EQ(changes.count, 0);
  QTest::keyClick(&field, Qt::Key_Down);
  QTest::keyClick(&field, Qt::Key_Down);
  EXPECT_EQ(field.text(), "2");
  EXPECT_EQ(changes.count, 2);
}

TEST_F(SpinFieldTest, OtherCharactersAreDroppedAndTheCaretStays) {
  gop.SetValue(2);
  QTest::keyClick(&field, Qt::Key_Home);
  QTest::keyClicks(&field, "a 0");  // "02" reads 2
  EXPECT_EQ(field.text(), "2");
  EXPECT_EQ(field.cursorPosition(), 1);
  EXPECT_EQ(changes.count, 1);
}

TEST_F(SpinFieldTest, OneStepPerWheelNotch) {
  gop.SetValue(1);
  const auto turn = [&](int delta) {
    const QPointF at(5, 5);
    QWheelEvent wheel(at, field.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&field, &wheel);
  };
  turn(QWheelEvent::DefaultDeltasPerStep);
  EXPECT_EQ(gop.Value(), 2);
  turn(60);  // half a notch on a fine wheel
  EXPECT_EQ(gop.Value(), 2);
  turn(60);
  EXPECT_EQ(gop.Value(), 3);
  turn(-2 * QWheelEvent::DefaultDeltasPerStep);
  EXPECT_EQ(gop.Value(), 1);
}

TEST_F(SpinFieldTest, EnterAndEscapeGoOnToTheWindow) {
  struct KeyCatcher : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::KeyPress) ++keys;
      return false;
    }
    int keys = 0;
  } catcher;
  host.window().installEventFilter(&catcher);
  QTest::keyClick(&field, Qt::Key_Return);
  QTest::keyClick(&field, Qt::Key_Escape);
  EXPECT_EQ(catcher.keys, 2);
}

TEST(SpinFieldThreadsTest, RaisedMaximumThenValueFiresOnce) {
  job::BoundedInt threads{0, 1, 0};
  test::Changes changes(threads);
  test::Host host;
  auto& field = host.Add<SpinField>(threads);
  const QSignalSpy shown(&field, &QLineEdit::textChanged);
  threads.SetMax(8);
  threads.SetValue(4);
  EXPECT_EQ(field.text(), "4");
  EXPECT_EQ(changes.count, 1);
  EXPECT_EQ(shown.count(), 1);
  // Lowering the maximum crops the value, and that is reported.
  threads.SetMax(2);
  EXPECT_EQ(field.text(), "2");
  EXPECT_EQ(changes.count, 2);
}

TEST(SpinFieldRepeatTest, StepsOnPressThenAfter400ThenEvery100) {
  job::BoundedInt value{0, 100, 10};
  test::Host host;
  auto& field = host.Add<SpinField>(value);
  host.Focus(field);
  host.Leave();
  ArrowStrip& arrows = *field.Arrows();
  QTimer& repeat = arrows.RepeatTimer();
  EXPECT_LE(arrows.width(), ArrowStrip::kMaxWidth);
  QTest::mousePress(&arrows, Qt::LeftButton, {}, QPoint(arrows.width() / 2, 2));
  EXPECT_TRUE(field.hasFocus());
  EXPECT_EQ(value.Value(), 11);
  ASSERT_TRUE(repeat.isActive());
  EXPECT_EQ(repeat.interval(), 400);
  QMetaObject::invokeMethod(&repeat, "timeout");
  EXPECT_EQ(value.Value(), 12);
  EXPECT_EQ(repeat.interval(), 100);
  QMetaObject::invokeMethod(&repeat, "timeout");
  EXPECT_EQ(value.Value(), 13);
  QTest::mouseRelease(&arrows, Qt::LeftButton, {}, QPoint(arrows.width() / 2, 2));
  EXPECT_FALSE(repeat.isActive());
  QTest::mousePress(&arrows, Qt::LeftButton, {}, QPoint(arrows.width() / 2, arrows.height() - 2));
  EXPECT_EQ(value.Value(), 12);
  EXPECT_EQ(repeat.interval(), 400);
}

}  // namespace
}  // namespace korvu::app
