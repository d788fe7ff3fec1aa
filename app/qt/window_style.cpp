#include "app/qt/window_style.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyleOptionFrame>

namespace korvu::app {

void WindowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
  const auto* panel = qstyleoption_cast<const QStyleOptionFrame*>(option);
  if (element != PE_PanelLineEdit || panel == nullptr)
    return QProxyStyle::drawPrimitive(element, option, painter, widget);
  const QBrush& base = panel->palette.brush(QPalette::Base);
  if (panel->lineWidth <= 0) return painter->fillRect(panel->rect, base);
  qDrawWinPanel(painter, panel->rect, panel->palette, true, &base);
}

}  // namespace korvu::app
