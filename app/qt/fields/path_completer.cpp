#include "app/qt/fields/path_completer.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QLineEdit>
#include <utility>

namespace korvu::app {
namespace {

// Qt posts a window's repaint at low priority; an edit's folder is read and its list matched after
// it, so that the field and the preview show a keystroke before its suggestions are looked for.
const auto kEdited = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr int kAfterRepaint = Qt::LowEventPriority - 1;

}  // namespace

// Bound to the field as its widget, not as the line edit's own completer: the line edit would open
// the list on every edit that has a match, also when the match is the text itself.
PathCompleter::PathCompleter(QLineEdit& field)
    : QCompleter(&field), field_(field), model_(new QFileSystemModel(this)) {
  model_->setRootPath(QString());
  setModel(model_);
  setWidget(&field_);
  // Qt opens the list by itself once a folder has been read, maybe after the user has moved on;
  // without a focus proxy that list cannot take the focus back to the field. Keys typed while it
  // shows still reach the field through the completer.
  popup()->setFocusProxy(nullptr);
  connect(&field_, &QLineEdit::textEdited, this, [this] {
    if (std::exchange(edit_pending_, true)) return;
    QCoreApplication::postEvent(this, new QEvent(kEdited), kAfterRepaint);
  });
  connect(model_, &QFileSystemModel::directoryLoaded, this, &PathCompleter::Suggest);
  connect(this, qOverload<const QString&>(&QCompleter::activated), &field_, &QLineEdit::setText);
}

void PathCompleter::customEvent(QEvent* event) {
  if (event->type() != kEdited) return QCompleter::customEvent(event);
  edit_pending_ = false;
  ReadFolderOf(field_.text());
  Suggest();
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
  if (!field_.hasFocus() || field_.text().isEmpty()) return popup()->hide();
  // Qt's own reopening, when the field has the focus, goes through the same rule.
  setCompletionPrefix(field_.text());
  if (NothingToComplete()) return popup()->hide();
  complete();
}

}  // namespace korvu::app
