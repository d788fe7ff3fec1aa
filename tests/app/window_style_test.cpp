#include "app/qt/window_style.h"

#include <gtest/gtest.h>

#include <qdrawutil.h>
#include <QImage>
#include <QPainter>

namespace korvu::app {
namespace {

QImage Painted(QSize size, const std::function<void(QPainter&, const QPalette&)>& paint) {
  QImage image(size + QSize(4, 4), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPalette colours;
  colours.setColor(QPalette::Dark, Qt::darkGray);
  colours.setColor(QPalette::Light, Qt::white);
  colours.setColor(QPalette::Shadow, Qt::black);
  colours.setColor(QPalette::Midlight, Qt::lightGray);
  QPainter painter(&image);
  paint(painter, colours);
  return image;
}

TEST(WindowStyleTest, SunkenPanelHasTheClassicPixels) {
  for (const QSize size : {QSize(529, 49), QSize(21, 21), QSize(5, 6), QSize(4, 4), QSize(3, 8)}) {
    const QRect box(QPoint(2, 2), size);
    const QBrush base(Qt::yellow);
    const QImage classic = Painted(
        size, [&](QPainter& p, const QPalette& c) { qDrawWinPanel(&p, box, c, true, &base); });
    const QImage ours =
        Painted(size, [&](QPainter& p, const QPalette& c) { DrawSunkenPanel(&p, box, c, base); });
    EXPECT_EQ(ours, classic) << size.width() << "x" << size.height();
  }
}

}  // namespace
}  // namespace korvu::app
