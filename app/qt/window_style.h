#pragma once

#include <QProxyStyle>

namespace korvu::app {

// The desktop's style with the classic sunken frame around every text field. The rounded,
// smoothed frame of the default style is stroked anew whenever a field's text changes, which was
// the largest part of a keystroke's work in a field that another field follows.
class WindowStyle : public QProxyStyle {
  Q_OBJECT

 public:
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace korvu::app
