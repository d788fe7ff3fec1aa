#include "app/qt/window_style.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace korvu::app {

// The same pixels as qDrawWinPanel's, filled as rectangles, which the raster engine writes
// directly where it rasterises each stroked polyline.
void DrawSunkenPanel(QPainter* painter, const QRect& box, const QPalette& colours,
                     const QBrush& base) {
  const int x = box.x(), y = box.y(), w = box.width(), h = box.height();
  const auto rects = [painter](const QColor& colour, QRect along, QRect down) {
    painter->fillRect(along, colour);
    painter->fillRect(down, colour);
  };
  rects(colours.color(QPalette::Dark), {x, y, w - 1, 1}, {x, y, 1, h - 1});
  rects(colours.color(QPalette::Light), {x, y + h - 1, w, 1}, {x + w - 1, y, 1, h});
  if (w <= 4 || h <= 4) return;  // no room for the inner shades
  rects(colours.color(QPalette::Shadow), {x + 1, y + 1, w - 3, 1}, {x + 1, y + 1, 1, h - 3});
  rects(colours.color(QPalette::Midlight), {x + 1, y + h - 2, w - 2, 1},
        {x + w - 2, y + 1, 1, h - 2});
  painter->fillRect(QRect(x + 2, y + 2, w - 4, h - 4), base);
}

void WindowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
  const auto* panel = qstyleoption_cast<const QStyleOptionFrame*>(option);
  if (element != PE_PanelLineEdit || panel == nullptr)
    return QProxyStyle::drawPrimitive(element, option, painter, widget);
  const QBrush& base = panel->palette.brush(QPalette::Base);
  if (panel->lineWidth <= 0) return painter->fillRect(panel->rect, base);
  DrawSunkenPanel(painter, panel->rect, panel->palette, base);
}

}  // namespace korvu::app
