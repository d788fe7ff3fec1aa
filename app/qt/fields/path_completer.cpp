#include "app/qt/fields/path_completer.h"

#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>

namespace korvu::app {

PathCompleter::PathCompleter(QLineEdit& field)
    : QCompleter(&field), field_(field), model_(new QFileSystemModel(this)) {
  model_->setRootPath(QString());
  setModel(model_);
  connect(&field_, &QLineEdit::textEdited, this, &PathCompleter::ReadFolderOf);
  connect(model_, &QFileSystemModel::directoryLoaded, this, &PathCompleter::Suggest);
}

void PathCompleter::ReadFolderOf(const QString& text) {
  const QString path = QDir::fromNativeSeparators(text);
  const QString folder = path.left(path.lastIndexOf(u'/') + 1);
  if (!folder.isEmpty() && model_->rootPath() != QDir(folder).absolutePath())
    model_->setRootPath(folder);
}

void PathCompleter::Suggest() {
  if (!field_.hasFocus() || field_.text().isEmpty()) return;
  setCompletionPrefix(field_.text());
  complete();
}

}  // namespace korvu::app
