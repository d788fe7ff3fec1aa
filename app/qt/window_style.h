#pragma once

#include <QProxyStyle>

namespace korvu::app {

// The classic sunken panel, two pixels deep, around `box`, filled with `base`.
void DrawSunkenPanel(QPainter* painter, const QRect& box, const QPalette& colours,
                     const QBrush& base);

// The desktop's style with the classic sunken frame around every text field and the preview. The
// rounded, smoothed frame of the default style is stroked anew whenever a field's text changes,
// which was the largest part of a keystroke's work in a field that another field follows.
class WindowStyle : public QProxyStyle {
  Q_OBJECT

 public:
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace korvu::app
