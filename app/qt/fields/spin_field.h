#pragma once

#include <QLineEdit>

#include "app/form/binding.h"
#include "job/spin_edit.h"
#include "job/values.h"

namespace korvu::app {

class ArrowStrip;

// A bounded whole number with an arrow strip inside its right end. The text always shows the
// value: a typed text is read and cropped at once (007 shows 7, 9 above a maximum of 4 shows 4),
// with the caret kept where it was. Arrow keys, the wheel (a step per notch) and the strip step by
// one. Enter and Escape go on to the window.
class SpinField : public QLineEdit {
  Q_OBJECT

 public:
  explicit SpinField(job::BoundedInt& value, QWidget* parent = nullptr);

  ArrowStrip* Arrows() const { return arrows_; }
  const job::BoundedInt& Bounded() const { return value_; }
  // A value that an assistive technology writes, as a typed one.
  void TakeValue(int value);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowValue();
  void Show(const job::SpinText& shown);
  void TakeText(const QString& text);
  void Step(int by);

  job::BoundedInt& value_;
  job::SpinEdit edit_;
  ArrowStrip* arrows_;
  form::Binding binding_;
};

}  // namespace korvu::app
