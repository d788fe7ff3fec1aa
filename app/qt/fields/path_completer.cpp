#include "app/qt/fields/path_completer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindow>
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
  list_ = popup();
  list_->setFocusProxy(nullptr);
  // Ahead of the completer's own filter, which hides the list at a click outside it and swallows
  // the click.
  list_->installEventFilter(this);
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

// The list grabs the pointer while it shows, so a click meant for another control reaches the list
// first; Qt on X11 does not replay it once the list has closed. Here it is replayed: the press goes
// to the window under the pointer, where it gives the focus and presses as a press of its own, and
// the release that follows reaches the same control once the grab has ended with the list.
bool PathCompleter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != list_ || event->type() != QEvent::MouseButtonPress)
    return QCompleter::eventFilter(watched, event);
  const auto& press = static_cast<const QMouseEvent&>(*event);
  if (list_->rect().contains(press.position().toPoint()))
    return QCompleter::eventFilter(watched, event);
  list_->hide();
  const QPointF global = press.globalPosition();
  QWidget* under = QApplication::widgetAt(global.toPoint());
  QWindow* window = under != nullptr ? under->window()->windowHandle() : nullptr;
  if (window != nullptr) {
    const QPointF local = window->mapFromGlobal(global);
    // Sent, not posted: the release that follows must find the control pressed.
    QMouseEvent replayed(QEvent::MouseButtonPress, local, local, global, press.button(),
                         press.buttons(), press.modifiers(), press.pointingDevice());
    QCoreApplication::sendEvent(window, &replayed);
  }
  return true;
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
