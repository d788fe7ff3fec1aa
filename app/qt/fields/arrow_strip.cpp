#include "app/qt/fields/arrow_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace korvu::app {

ArrowStrip::ArrowStrip(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::ArrowCursor);
  setFocusPolicy(Qt::NoFocus);
  repeat_.setObjectName(QStringLiteral("repeat"));
  connect(&repeat_, &QTimer::timeout, this, &ArrowStrip::Repeat);
}

int ArrowStrip::StripWidth() const {
  return std::min(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this), kMaxWidth);
}

QRect ArrowStrip::Half(int direction) const {
  const int upper = height() / 2;
  return direction > 0 ? QRect(0, 0, width(), upper) : QRect(0, upper, width(), height() - upper);
}

void ArrowStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (const int direction : {1, -1}) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = Half(direction);
    button.state |= pressed_ == direction ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
    QStyleOption arrow(button);
    arrow.rect = button.rect.adjusted(2, 1, -2, -1);
    style()->drawPrimitive(
        direction > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow,
        &painter, this);
  }
}

void ArrowStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = Half(1).contains(event->position().toPoint()) ? 1 : -1;
  update();
  emit Pressed();
  emit Stepped(pressed_);
  repeat_.start(kFirstRepeat);
}

void ArrowStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  pressed_ = 0;
  repeat_.stop();
  update();
}

void ArrowStrip::Repeat() {
  if (pressed_ == 0) return repeat_.stop();
  repeat_.setInterval(kRepeat);
  emit Stepped(pressed_);
}

}  // namespace korvu::app
