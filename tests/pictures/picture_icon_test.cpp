#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <ostream>
#include <set>

#include "app/qt/pictures/picture_icon.h"

// The pictures as the window gets them: from a static library (as korvu_app holds them), each a
// 16x16 picture in the sixteen classic colours on a transparent background, with its grayed twin
// shown while disabled and a doubled copy for screens of twice the density.

namespace korvu::app {
namespace {

struct PictureCase {
  const char* name;
  bool has_twin;
};

void PrintTo(const PictureCase& picture, std::ostream* out) {
  *out << picture.name;
}

class PictureTest : public testing::TestWithParam<PictureCase> {};

std::set<QRgb> OpaqueColours(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) colours.insert(image.pixel(x, y) | 0xFF000000u);
  return colours;
}

bool HasTransparentPixel(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) == 0) return true;
  return false;
}

const std::set<QRgb> kSixteenColours = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

// The picture `name`, and its copy for screens of twice the density: the same pixels doubled.
void ExpectClassicPicture(const QString& name) {
  const QImage image(":/pictures/" + name + ".png");
  ASSERT_FALSE(image.isNull()) << name.toStdString();
  EXPECT_EQ(image.size(), QSize(16, 16)) << name.toStdString();
  EXPECT_TRUE(HasTransparentPixel(image)) << name.toStdString();
  for (QRgb colour : OpaqueColours(image))
    EXPECT_TRUE(kSixteenColours.contains(colour)) << name.toStdString() << std::hex << colour;
  const QImage doubled(":/pictures/" + name + "@2x.png");
  EXPECT_EQ(doubled.convertToFormat(QImage::Format_ARGB32),
            image.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .convertToFormat(QImage::Format_ARGB32))
      << name.toStdString();
}

TEST_P(PictureTest, IsAClassicSixteenColourPicture) {
  const QString name = QString::fromLatin1(GetParam().name);
  ExpectClassicPicture(name);
  if (GetParam().has_twin) ExpectClassicPicture(name + "-gray");
}

TEST_P(PictureTest, ShowsItsTwinWhileDisabled) {
  const QString name = QString::fromLatin1(GetParam().name);
  const QIcon icon = PictureIcon(name);
  ASSERT_FALSE(icon.isNull());
  const QImage normal = icon.pixmap(QSize(16, 16), QIcon::Normal).toImage();
  const QImage disabled = icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
  EXPECT_EQ(normal.convertToFormat(QImage::Format_ARGB32),
            QImage(":/pictures/" + name + ".png").convertToFormat(QImage::Format_ARGB32));
  // Without a twin Qt derives a disabled look, which is never the picture itself.
  EXPECT_NE(disabled.convertToFormat(QImage::Format_ARGB32),
            normal.convertToFormat(QImage::Format_ARGB32));
  if (GetParam().has_twin) {
    EXPECT_EQ(disabled.convertToFormat(QImage::Format_ARGB32),
              QImage(":/pictures/" + name + "-gray.png").convertToFormat(QImage::Format_ARGB32));
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureTest,
                         testing::Values(PictureCase{"wand", false}, PictureCase{"chart", true},
                                         PictureCase{"folder", true}, PictureCase{"drive", true},
                                         PictureCase{"load", true}, PictureCase{"save", true},
                                         PictureCase{"gears", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowIconTest, ComesInEverySize) {
  const QList<QSize> sizes = PictureIcon("korvu").availableSizes();
  for (int side : {32, 48, 256}) EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
}

TEST(WindowIconTest, AnUnknownNameGivesANullIcon) {
  EXPECT_TRUE(PictureIcon("no-such-picture").isNull());
}

}  // namespace
}  // namespace korvu::app

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);  // the style draws the derived disabled look
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
