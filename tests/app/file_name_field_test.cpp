#include "app/qt/fields/file_name_field.h"

#include <QClipboard>
#include <QCompleter>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <functional>

#include "app/form/guard.h"
#include "app/qt/fields/dialog_filter.h"
#include "job/error.h"
#include "tests/app/field_test_util.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_for.h"

namespace korvu::app {
namespace {

class FileNameFieldTest : public testing::Test {
 protected:
  void SetUp() override {
    SetErrorReport([this](const std::string& message) { reported.push_back(message); });
  }
  void TearDown() override {
    SetErrorReport([](const std::string&) {});
  }

  // Runs `step` on the browse dialog once it is open, then browses.
  void Browse(const std::function<void(QFileDialog&)>& step) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), "Browse");
      step(*dialog);
    });
    field.Browse();
  }

  test::TempDir dir;
  job::PathRules rules{job::PathStyle::kPosix, platform::RealFileSystem()};
  job::TextValue input;
  test::Changes changes{input};
  std::vector<std::string> reported;
  test::Host host;
  FileNameField& field = host.Add<FileNameField>(input, rules);
};

TEST_F(FileNameFieldTest, WritesAFileNameQuotedAndReadsItBack) {
  field.SetFileName("/my videos/a.264");
  EXPECT_EQ(field.text(), "\"/my videos/a.264\"");
  EXPECT_EQ(field.FileName(), "/my videos/a.264");
  EXPECT_EQ(changes.count, 1);
  field.SetFileName("");
  EXPECT_EQ(field.text(), "");
}

TEST_F(FileNameFieldTest, RefusesAnInvalidNameAndKeepsTheText) {
  field.SetFileName("/videos/a.avi");
  try {
    field.SetFileName("/videos/a?.avi");
    FAIL() << "no error";
  } catch (const job::Error& error) {
    EXPECT_STREQ(error.what(), "Ungültiger Dateiname - /videos/a?.avi");
  }
  EXPECT_EQ(field.text(), "/videos/a.avi");
  // Only the first word is looked at.
  field.SetFileName("/videos/a b?.avi");
  EXPECT_EQ(field.text(), "\"/videos/a b?.avi\"");
}

TEST_F(FileNameFieldTest, TakesTheFirstOfTheDroppedFiles) {
  const auto drop = [&](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    EXPECT_TRUE(data.hasFormat(QStringLiteral("text/uri-list")));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &drop);
  };
  drop({QUrl::fromLocalFile("/clips/my trip.avi"), QUrl::fromLocalFile("/clips/other.avi")});
  EXPECT_EQ(input.Text(), "\"/clips/my trip.avi\"");
  EXPECT_EQ(changes.count, 1);
  drop({QUrl::fromLocalFile("/clips/what?.avi")});
  EXPECT_EQ(reported, std::vector<std::string>{"Ungültiger Dateiname - /clips/what?.avi"});
  EXPECT_EQ(input.Text(), "\"/clips/my trip.avi\"");
}

TEST_F(FileNameFieldTest, APastedLineBreakCutsTheText) {
  host.Focus(field);
  QApplication::clipboard()->setText(QStringLiteral("/clips/a.avi\r\n/clips/b.avi"));
  QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(field.text(), "/clips/a.avi");
  EXPECT_EQ(input.Text(), "/clips/a.avi");
  EXPECT_EQ(changes.count, 1);
}

TEST_F(FileNameFieldTest, TypingKeepsEveryCharacter) {
  host.Focus(field);
  // Typed one key at a time, as a keyboard with these letters sends them.
  for (const QChar c : QStringLiteral("/vidéos/ä b.avi"))
    QTest::sendKeyEvent(QTest::Click, &field, Qt::Key_unknown, QString(c), Qt::NoModifier);
  EXPECT_EQ(input.Text(), "/vidéos/ä b.avi");
}

TEST_F(FileNameFieldTest, SuggestsExistingPathsWhileTyping) {
  dir.Write("clips/trip one.avi", "");
  dir.Write("clips/trip two.avi", "");
  dir.Write("clips/other.avi", "");
  host.Focus(field);
  ASSERT_NE(field.Suggestions(), nullptr);
  QTest::keyClicks(&field, QString::fromStdString(dir / "clips/tr"));
  // The file-system model reads the folder on a thread of its own.
  QCompleter& completer = *field.Suggestions();
  EXPECT_TRUE(test::WaitFor([&] {
    QCoreApplication::processEvents();
    return completer.completionCount() == 2;
  }));
  EXPECT_EQ(completer.currentCompletion().toStdString(), dir / "clips/trip one.avi");
}

TEST_F(FileNameFieldTest, BrowseStartsAtTheTextAndAnEmptyFieldReopensThePreviousFolder) {
  const std::string folder = dir / "my clips";
  std::filesystem::create_directories(folder);
  dir.Write("my clips/trip.avi", "");
  field.SetFileName(folder + "/trip.avi");
  host.Focus(field);
  field.SetDialog({form::DialogKind::kSave, "264", ""});
  Browse([&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.directory().absolutePath().toStdString(), folder);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "trip.avi");
    dialog.selectFile(QStringLiteral("out"));
    static_cast<QDialog&>(dialog).accept();  // as the dialog's Save button does
  });
  EXPECT_EQ(input.Text(), "\"" + folder + "/out.264\"");
  // The window takes the focus back when it is active again, on the field.
  EXPECT_EQ(host.window().focusWidget(), &field);

  input.SetText("");
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder);
    dialog->reject();
  });
  QTest::keyClick(&field, Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(input.Text(), "");
  EXPECT_EQ(changes.count, 3);
}

TEST_F(FileNameFieldTest, BrowseButtonSitsInsideTheRightEnd) {
  field.resize(200, 24);
  host.Focus(field);
  const QToolButton& button = *field.BrowseButton();
  EXPECT_EQ(button.width(), form::kBrowseButtonWidth);
  EXPECT_LE(button.geometry().right(), field.width() - 1);
  EXPECT_GT(button.geometry().left(), field.width() / 2);
}

TEST(DialogFilterTest, TurnsBarPairsIntoQtFilters) {
  const std::pair<const char*, QStringList> cases[] = {
      {"", {"All files (*)"}},
      {"All files (*.*)|*.*", {"All files (*)"}},
      {"AVI videos (*.avi)|*.avi", {"AVI videos (*.avi)"}},
      {"Videos|*.avi;*.mkv|Scripts|*.avs", {"Videos (*.avi *.mkv)", "Scripts (*.avs)"}},
      {"Videos (*.avi)|*.avi;*.mkv", {"Videos (*.avi) (*.avi *.mkv)"}},
      {"Odd|*.a|Lone", {"Odd (*.a)"}},
  };
  for (const auto& [filter, expected] : cases)
    EXPECT_EQ(DialogNameFilters(QString::fromUtf8(filter)), expected) << filter;
}

}  // namespace
}  // namespace korvu::app
