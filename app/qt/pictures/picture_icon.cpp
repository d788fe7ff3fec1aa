#include "app/qt/pictures/picture_icon.h"

#include <QFile>

// Registers the pictures resource. Called by name, so that the linker keeps the resource even when
// it sits in a static library that nothing else refers to. Q_INIT_RESOURCE must be called outside
// any namespace.
static void RegisterPictures() {
  Q_INIT_RESOURCE(pictures);
}

namespace korvu::app {
namespace {

const QString kFolder = QStringLiteral(":/pictures/");

void AddIfThere(QIcon& icon, const QString& file, QIcon::Mode mode) {
  if (QFile::exists(kFolder + file)) icon.addFile(kFolder + file, QSize(), mode);
}

}  // namespace

QIcon PictureIcon(const QString& name) {
  [[maybe_unused]] static const bool registered = (RegisterPictures(), true);
  QIcon icon;
  AddIfThere(icon, name + QStringLiteral(".png"), QIcon::Normal);
  AddIfThere(icon, name + QStringLiteral("-gray.png"), QIcon::Disabled);
  for (const char* size : {"-32", "-48", "-256"})
    AddIfThere(icon, name + QLatin1String(size) + QStringLiteral(".png"), QIcon::Normal);
  return icon;
}

}  // namespace korvu::app
