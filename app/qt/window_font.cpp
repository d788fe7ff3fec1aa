#include "app/qt/window_font.h"

#include <QFile>
#include <QFontDatabase>

#include "app/form/main_form.h"
#include "app/qt/qt_text.h"

namespace korvu::app {
namespace {

constexpr char kWineTahoma[] = "/usr/share/wine/fonts/tahoma.ttf";

void RegisterTahoma() {
  const QString family = ToQt(form::kFontFamily);
  if (QFontDatabase::hasFamily(family) || !QFile::exists(QString::fromLatin1(kWineTahoma))) return;
  QFontDatabase::addApplicationFont(QString::fromLatin1(kWineTahoma));
}

}  // namespace

QFont WindowFont(int pixels) {
  [[maybe_unused]] static const bool registered = (RegisterTahoma(), true);
  QFont font(ToQt(form::kFontFamily));
  font.setPixelSize(pixels);
  return font;
}

}  // namespace korvu::app
