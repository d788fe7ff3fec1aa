#include "app/window_font.h"

#include <QFile>
#include <QFontDatabase>

#include "app/main_form_layout.h"

namespace korvu::app {
namespace {

constexpr char kWineTahoma[] = "/usr/share/wine/fonts/tahoma.ttf";

void RegisterTahoma() {
  const QString family = QString::fromLatin1(layout::kFontFamily);
  if (QFontDatabase::hasFamily(family) || !QFile::exists(QString::fromLatin1(kWineTahoma))) return;
  QFontDatabase::addApplicationFont(QString::fromLatin1(kWineTahoma));
}

}  // namespace

QFont WindowFont(int pixels) {
  [[maybe_unused]] static const bool registered = (RegisterTahoma(), true);
  QFont font(QString::fromLatin1(layout::kFontFamily));
  font.setPixelSize(pixels);
  return font;
}

}  // namespace korvu::app
