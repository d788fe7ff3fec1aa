#include "app/qt/fields/check_field.h"

#include "tests/app/field_test_util.h"

namespace korvu::app {
namespace {

TEST(CheckFieldTest, AClickMovesGrayedToChecked) {
  job::CheckBox bref;
  test::Changes changes(bref);
  test::Host host;
  auto& box = host.Add<CheckField>(bref, QStringLiteral("B-frames as references"));
  bref.SetState(job::CheckState::kGrayed);
  EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);
  EXPECT_FALSE(bref.Checked());
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_EQ(bref.State(), job::CheckState::kChecked);
  EXPECT_EQ(box.checkState(), Qt::Checked);
  EXPECT_EQ(changes.count, 2);
}

TEST(CheckFieldTest, WritingTheSameStateFiresNothing) {
  job::CheckBox bref;
  test::Changes changes(bref);
  test::Host host;
  auto& box = host.Add<CheckField>(bref, QStringLiteral("B-frames as references"));
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_TRUE(bref.Checked());
  bref.SetChecked(true);
  EXPECT_EQ(changes.count, 1);
}

TEST(CheckFieldTest, AFlagShowsAndTakesItsValue) {
  job::Flag pyramid;
  test::Host host;
  auto& box = host.Add<CheckField>(pyramid, QStringLiteral("Pyramid"));
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_TRUE(pyramid.Value());
  pyramid.SetValue(false);
  EXPECT_EQ(box.checkState(), Qt::Unchecked);
}

}  // namespace
}  // namespace korvu::app
