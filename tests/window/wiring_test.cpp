// What the window's controls do: the error on every keystroke, the settings dialogs, the encode run
// and the error box itself.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <atomic>
#include <future>
#include "app/qt/fields/preview_box.h"

#include "app/qt/error_box.h"
#include "tests/support/temp_dir.h"
#include "tests/window/window_fixture.h"

namespace korvu::app {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(KORVU_SETTINGS_FIXTURES) + "/" + name;
}

using WiringTest = WindowTest;

TEST_F(WiringTest, AnInvalidCharacterInTheInputIsReportedOnEveryKeystroke) {
  ShowAndActivate();
  auto* input = Find<QLineEdit>("jveInput");
  input->setFocus();
  QTest::keyClicks(input, "a*b c");
  EXPECT_EQ(reported_, (std::vector<std::string>{
                           "Ungültiger Dateiname - a*.264", "Ungültiger Dateiname - a*b.264",
                           "Ungültiger Dateiname - a*b.264", "Ungültiger Dateiname - a*b.264"}));
  EXPECT_EQ(input->text(), "a*b c");
  EXPECT_EQ(Find<QLineEdit>("jveOutput")->text(), "a.264") << "the output keeps its text";
}

TEST_F(WiringTest, ThePyramidGraysTheBReferenceBoxAndBackToChecked) {
  ShowAndActivate();
  auto* bref = Find<QCheckBox>("jvcBRef");
  ASSERT_EQ(bref->checkState(), Qt::Unchecked);
  QTest::mouseClick(Find("jvcPyramide"), Qt::LeftButton);
  EXPECT_EQ(bref->checkState(), Qt::PartiallyChecked);
  EXPECT_TRUE(Find<PreviewBox>("jvtParams")->Text().contains(" -pyramid"));
  QTest::mouseClick(Find("jvcPyramide"), Qt::LeftButton);
  EXPECT_EQ(bref->checkState(), Qt::Checked);
}

TEST_F(WiringTest, ADisabledEncodeSaysWhyAndAReadyOneHintsAsEver) {
  const QString hint = QStringLiteral("Creates and executes a batch file for 2 pass encoding");
  ShowAndActivate();
  auto* encode = Find<QPushButton>("jvbEncode");
  Find<QLineEdit>("jveInput")->setText(QString::fromStdString(dir_ / "no such.avi"));
  const QString input = QString::fromStdString("Input video file: no such file: " + dir_ / "no");
  EXPECT_TRUE(encode->toolTip().startsWith(hint + "\n\n" + input + "\n"))
      << encode->toolTip().toStdString();
  EXPECT_TRUE(encode->toolTip().endsWith("\nBitrate (kbps): must be above 0"));
  EXPECT_TRUE(encode->accessibleDescription().startsWith(input));
  MakeJobReady();
  EXPECT_EQ(encode->toolTip(), hint);
  EXPECT_EQ(encode->accessibleDescription(), "");
}

TEST_F(WiringTest, CancelledDialogsChangeNothing) {
  ShowAndActivate();
  const std::string ini = dir_.Write("job.ini", "[Korvu]\r\nBitrate=700\r\n");
  const QString preview = Find<PreviewBox>("jvtParams")->Text();
  for (const char* button : {"jvbLoadIni", "jvbSaveIni"}) {
    WhenDialogShows([&](QFileDialog& dialog) {
      dialog.selectFile(QString::fromStdString(ini));
      dialog.reject();
    });
    QTest::mouseClick(Find(button), Qt::LeftButton);
  }
  EXPECT_EQ(Find<PreviewBox>("jvtParams")->Text(), preview);
  EXPECT_EQ(test::ReadFile(ini), "[Korvu]\r\nBitrate=700\r\n");
  EXPECT_TRUE(reported_.empty());
}

TEST_F(WiringTest, LoadAndSaveThroughTheDialogsKeepTheBytes) {
  ShowAndActivate();
  const std::string saved = dir_ / "saved.ini";
  WhenDialogShows([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Load settings");
    EXPECT_EQ(dialog.nameFilters(), QStringList{"Korvu settings (*.ini)"});
    EXPECT_EQ(dialog.defaultSuffix(), "ini");
    Confirm(dialog, Fixture("worked-example.ini"));
  });
  QTest::mouseClick(Find("jvbLoadIni"), Qt::LeftButton);
  EXPECT_EQ(Find<QLineEdit>("jveBitrate")->text(), "1500");
  WhenDialogShows([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Save settings");
    Confirm(dialog, dir_ / "saved");  // the extension comes by itself
  });
  QTest::mouseClick(Find("jvbSaveIni"), Qt::LeftButton);
  EXPECT_EQ(test::ReadFile(saved), test::ReadFile(Fixture("worked-example.ini")));
  EXPECT_TRUE(reported_.empty());

  // Each dialog offers the file last confirmed in it.
  WhenDialogShows([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.directory()
                  .filePath(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text())
                  .toStdString(),
              saved);
    dialog.reject();
  });
  QTest::mouseClick(Find("jvbSaveIni"), Qt::LeftButton);
}

using EncodeTest = WindowTest;

TEST_F(EncodeTest, TheWindowWaitsMinimisedAndCloseWaitsForTheEnd) {
  std::promise<void> console_ends;
  std::atomic<bool> console_running = false;
  std::string command_line;
  console_ = [&, ends = console_ends.get_future().share()](const std::string& line) {
    command_line = line;
    console_running = true;
    ends.wait();
    return 0;
  };
  ShowAndActivate();
  MakeJobReady();
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(QTest::qWaitFor([&] { return console_running.load(); }));
    EXPECT_TRUE(form_->isMinimized());
    EXPECT_FALSE(Find("jvbEncode")->isEnabled());
    // The run shows: what takes input is disabled, the pointer busy; typing changes nothing.
    EXPECT_FALSE(Find("jveBitrate")->isEnabled());
    EXPECT_TRUE(Find("jvtParams")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QTest::keyClicks(Find("jveBitrate"), "1234");
    EXPECT_EQ(job_.Settings().Bitrate.Text(), "900");
    form_->close();
    EXPECT_FALSE(form_->isVisible()) << "a close hides the window at once";
    console_ends.set_value();
  });
  QTest::mouseClick(Find("jvbEncode"), Qt::LeftButton);
  EXPECT_EQ(command_line, '"' + (dir_ / "Korvu.bat") + '"');
  EXPECT_NE(test::ReadFile(dir_ / "Korvu.bat").find(" -npass 2 -threads 2 -br 900 "),
            std::string::npos);
  EXPECT_TRUE(Find("jveBitrate")->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(Find("jvbEncode")->isEnabled());
  EXPECT_FALSE(form_->isVisible()) << "the closed window does not come back";
}

TEST_F(EncodeTest, AfterTheRunTheFocusIsWhereItWas) {
  ShowAndActivate();
  MakeJobReady();
  Find("jvbEncode")->setFocus();
  QTest::keyClick(Find("jvbEncode"), Qt::Key_Space);
  EXPECT_FALSE(form_->isMinimized());
  EXPECT_EQ(QApplication::focusWidget(), Find("jvbEncode"));
}

TEST_F(EncodeTest, AScriptThatCannotBeWrittenRunsNothing) {
  bool ran = false;
  console_ = [&](const std::string&) { return ran = true, 0; };
  ShowAndActivate();
  MakeJobReady();
  std::filesystem::create_directory(dir_.path() / "Korvu.bat");  // a folder takes its name
  QTest::mouseClick(Find("jvbEncode"), Qt::LeftButton);
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(Find("jvbEncode")->isEnabled());
  EXPECT_FALSE(form_->isMinimized());
}

TEST(ErrorBoxTest, ShowsTheMessageWithItsFullStopUnderTheTitle) {
  QMessageBox* seen = nullptr;
  QString text;
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (seen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); }));
    text = seen->text();
    EXPECT_EQ(seen->windowTitle(), "Korvu - making Pimbrosse!");
    EXPECT_EQ(seen->icon(), QMessageBox::Critical);
    EXPECT_EQ(seen->standardButtons(), QMessageBox::Ok);
    seen->accept();
  });
  ShowErrorBox("Datei /x kann nicht geöffnet werden. Keine Berechtigung");
  EXPECT_EQ(text, "Datei /x kann nicht geöffnet werden. Keine Berechtigung.");
}

}  // namespace
}  // namespace korvu::app
