#include "app/qt/window_font.h"

#include <QFile>
#include <QFontDatabase>

#include "app/form/window_description.h"
#include "app/qt/qt_text.h"

namespace korvu::app {
namespace {

constexpr char kWineTahoma[] = "/usr/share/wine/fonts/tahoma.ttf";

void RegisterTahoma() {
  const QString family = ToQt(form::kFontFamily);
  // Looked up among the families by name: hasFamily would also resolve the name as an alias of
  // another family, a fontconfig search that took a quarter of the start-up's work.
  if (QFontDatabase::families().contains(family, Qt::CaseInsensitive) ||
      !QFile::exists(QString::fromLatin1(kWineTahoma)))
    return;
  QFontDatabase::addApplicationFont(QString::fromLatin1(kWineTahoma));
}

}  // namespace

QFont WindowFont(int pixels) {
  [[maybe_unused]] static const bool registered = (RegisterTahoma(), true);
  QFont font(ToQt(form::kFontFamily));
  font.setPixelSize(pixels);
  // Texts are laid out anew on every keystroke, the preview's whole command line among them;
  // shaping them (kerning, ligatures, which a classic window's text does not have) was the
  // largest part of a keystroke's work.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

}  // namespace korvu::app
