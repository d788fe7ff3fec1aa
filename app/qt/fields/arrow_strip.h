#pragma once

#include <QTimer>
#include <QWidget>

namespace korvu::app {

// The classic arrow strip of a spin field: an up half above a down half. A press steps once at
// once, then again after kFirstRepeat and every kRepeat while the half stays pressed.
class ArrowStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFirstRepeat = 400;  // milliseconds
  static constexpr int kRepeat = 100;
  static constexpr int kMaxWidth = 15;

  explicit ArrowStrip(QWidget* parent = nullptr);

  // As wide as the style's vertical scroll bar, at most kMaxWidth.
  int StripWidth() const;
  QTimer& RepeatTimer() { return repeat_; }

 signals:
  void Pressed();        // before the first step
  void Stepped(int by);  // +1 for the up half, -1 for the down half

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QRect Half(int direction) const;
  void Repeat();

  QTimer repeat_;
  int pressed_ = 0;  // the direction of the half held down, 0 for none
};

}  // namespace korvu::app
