// The window before and at its first activation: the encoder found through the registry file, the
// thread field from the processor count, the default settings file, the focus, and what an error
// on the way leaves.
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>

#include "tests/window/window_fixture.h"

namespace korvu::app {
namespace {

using ActivationTest = ActivationTestBase;

TEST_F(ActivationTest, BeforeActivationNothingIsBuilt) {
  Create();
  Find<QLineEdit>("jveBitrate")->setFocus();
  QTest::keyClicks(Find<QLineEdit>("jveBitrate"), "700");
  EXPECT_FALSE(EncodeEnabled());
  EXPECT_TRUE(Preview().isEmpty());
  EXPECT_FALSE(job_.FParamsLive());
}

// The bound's rule is the job's; one count proves the data module's count reaches it.
TEST_F(ActivationTest, ThreadsFromTheProcessorCount) {
  const int processors = 8;
  const int bound = 16;
  ShowAndActivate(processors);
  EXPECT_EQ(Find<QLineEdit>("jvsThreads")->text(), QString::number(processors));
  EXPECT_EQ(job_.Settings().Threads.Max(), bound);
  EXPECT_TRUE(Preview().contains(QString(" -threads %1 ").arg(processors)));
  EXPECT_EQ(form_->focusWidget(), Find("jveEncoder")) << "no encoder file: the focus starts there";
}

TEST_F(ActivationTest, DefaultSettingsAboveTheBoundAndFocusOnTheInput) {
  const std::string encoder = dir_.Write("enc", "");
  dir_.Write("Korvu.ini", "[Korvu]\r\nEncoder=" + encoder + "\r\nThreads=99\r\n");
  ShowAndActivate(4);
  EXPECT_EQ(Find<QLineEdit>("jvsThreads")->text(), "8");
  EXPECT_EQ(Find<QLineEdit>("jveEncoder")->text().toStdString(), encoder);
  EXPECT_EQ(form_->focusWidget(), Find("jveInput"));
  EXPECT_TRUE(reported_.empty());
}

TEST_F(ActivationTest, LaterActivationsDoNotRepeatTheWork) {
  ShowAndActivate(2);
  job_.Settings().Threads.SetValue(0);
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form_.get(), &activate);
  EXPECT_EQ(job_.Settings().Threads.Value(), 0);
}

}  // namespace
}  // namespace korvu::app
