#include "app/qt/fields/path_completer.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTimer>

namespace korvu::app {

PathCompleter::PathCompleter(QLineEdit& field)
    : QCompleter(&field), field_(field), model_(new QFileSystemModel(this)) {
  model_->setRootPath(QString());
  setModel(model_);
  connect(&field_, &QLineEdit::textEdited, this, &PathCompleter::ReadFolderOf);
  connect(model_, &QFileSystemModel::directoryLoaded, this, &PathCompleter::Suggest);
  // After the field's own completion, which opens the list on every edit that has a match.
  connect(&field_, &QLineEdit::textEdited, this, [this] {
    QTimer::singleShot(0, this, [this] {
      if (popup()->isVisible() && NothingToComplete()) popup()->hide();
    });
  });
}

bool PathCompleter::NothingToComplete() const {
  if (completionCount() != 1) return completionCount() == 0;
  const QString only = QDir::fromNativeSeparators(currentCompletion());
  const QString text = QDir::fromNativeSeparators(field_.text());
  return only == text || only == QDir(text).absolutePath();
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
  if (NothingToComplete()) return popup()->hide();
  complete();
}

}  // namespace korvu::app
