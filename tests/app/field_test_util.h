#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace korvu::test {

// Counts a value's change notifications. Declare it after the value, so that it goes first.
struct Changes {
  template <typename Value>
  explicit Changes(Value& value) {
    value.OnChange([this] { ++count; });
  }
  int count = 0;
};

// An active window holding the field under test and a second field to move the focus to, so
// that focus changes are real ones.
class Host {
 public:
  Host() : layout_(&window_), other_(&window_) { layout_.addWidget(&other_); }

  template <typename Field, typename... Args>
  Field& Add(Args&&... args) {
    auto* field = new Field(std::forward<Args>(args)..., &window_);
    layout_.insertWidget(0, field);
    return *field;
  }

  // Shows the window and puts the focus on `field`.
  void Focus(QWidget& field) {
    if (!window_.isVisible()) {
      window_.show();
      window_.activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
    }
    field.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(field.hasFocus());
  }
  // Moves the focus to the other field, as Tab would.
  void Leave() { other_.setFocus(Qt::TabFocusReason); }

  QWidget& window() { return window_; }

 private:
  QWidget window_;
  QVBoxLayout layout_;
  QLineEdit other_;
};

}  // namespace korvu::test
