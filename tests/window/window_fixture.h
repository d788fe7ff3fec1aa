#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/qt/fields/preview_box.h"

#include "app/form/guard.h"
#include "app/qt/dm.h"
#include "app/qt/main_form.h"
#include "job/job.h"
#include "platform/file_system.h"
#include "tests/support/fake_registry.h"
#include "tests/support/temp_dir.h"

namespace korvu::app {

// The window on Qt's offscreen screen with a program "Korvu" in a folder of its own, a registry
// of the test's, the errors kept instead of shown, and a console that the test plays itself.
class WindowTest : public testing::Test {
 protected:
  WindowTest() {
    SetErrorReport([this](const std::string& message) { reported_.push_back(message); });
  }
  ~WindowTest() override {
    dm_.reset();
    form_.reset();
    SetErrorReport([](const std::string& message) { ADD_FAILURE() << "late error: " << message; });
  }

  // Creates the window and then the data module, as the program does.
  void Create(int processors = 2, const platform::Registry* registry = nullptr) {
    form_ = std::make_unique<TMainForm>(
        job_, form::WindowPlatform{registry ? *registry : registry_, dir_ / "Korvu",
                                   [this](const std::string& line, std::uint16_t, const auto&) {
                                     return console_(line);
                                   }});
    dm_ = std::make_unique<TDM>(processors, form_.get());
    form_->SetDataModule(*dm_);
  }
  void ShowAndActivate(int processors = 2, const platform::Registry* registry = nullptr) {
    Create(processors, registry);
    form_->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return form_->Activated(); }));
  }

  template <typename Widget = QWidget>
  Widget* Find(const char* name) const {
    auto* widget = form_->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  // Answers the next modal file dialog with `answer` once it is up.
  static void WhenDialogShows(std::function<void(QFileDialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      poll->stop();
      poll->deleteLater();
      answer(*dialog);
    });
    poll->start(10);
  }

  // A job that "Encode" can run: an encoder and an input that exist, and a bitrate.
  void MakeJobReady() {
    job_.Settings().Encoder.SetText(dir_.Write("enc", ""));
    job_.Settings().Input.SetText(dir_.Write("clip.avi", ""));
    job_.Settings().Bitrate.SetText("900");
    ASSERT_TRUE(Find("jvbEncode")->isEnabled());
  }

  // Types `file` into the dialog and confirms it, as the user's OK does (with the dialog's checks).
  static void Confirm(QFileDialog& dialog, const std::string& file) {
    // selectFile() leaves the name box alone while it has the focus, as a user's typing would.
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(QString::fromStdString(file));
    static_cast<QDialog&>(dialog).accept();
  }

  test::TempDir dir_;
  test::FakeRegistry registry_;
  job::PathRules rules_{job::PathStyle::kPosix, platform::RealFileSystem()};
  job::Job job_{rules_};
  std::function<int(const std::string&)> console_ = [](const std::string&) { return 0; };
  std::unique_ptr<TMainForm> form_;
  std::unique_ptr<TDM> dm_;
  std::vector<std::string> reported_;
};

class ActivationTestBase : public WindowTest {
 protected:
  QString Preview() const { return Find<PreviewBox>("jvtParams")->Text(); }
  bool EncodeEnabled() const { return Find<QPushButton>("jvbEncode")->isEnabled(); }
};

}  // namespace korvu::app
