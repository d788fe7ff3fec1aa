#include "app/qt/fields/file_name_field.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include "app/form/guard.h"
#include "app/qt/fields/dialog_filter.h"
#include "app/qt/fields/path_completer.h"
#include "app/qt/qt_text.h"
#include "app/qt/run_dialog.h"

namespace korvu::app {
namespace {

// The first dropped file, when the drop brings files.
QString FirstDroppedFile(const QMimeData* data) {
  if (!data->hasUrls() || data->urls().isEmpty()) return {};
  const QUrl& first = data->urls().front();
  return first.isLocalFile() ? first.toLocalFile() : QString();
}

}  // namespace

FileNameField::FileNameField(job::TextValue& value, const job::PathRules& rules, QWidget* parent)
    : QLineEdit(parent), value_(value), edit_(value, rules), browse_(new QToolButton(this)) {
  browse_->setFocusPolicy(Qt::NoFocus);
  browse_->setCursor(Qt::ArrowCursor);
  browse_->setIconSize(QSize(16, 16));
  // Until the window gives it its picture; the desktop's folder icon would mean a search through
  // the icon themes for every field at start-up.
  browse_->setText(QStringLiteral("..."));
  setTextMargins(0, 0, form::kBrowseButtonWidth, 0);
  connect(browse_, &QToolButton::clicked, this, [this] { Browse(); });
  connect(this, &QLineEdit::textChanged, this, &FileNameField::TakeText);
  binding_.Follow(value_, [this] { ShowValue(); });
}

void FileNameField::SetPicture(const QIcon& icon) {
  browse_->setIcon(icon);
}

void FileNameField::ShowValue() {
  binding_.ShowText(text(), ToQt(value_.Text()), [this](const QString& text) { setText(text); });
  Guarded([this] { edit_.ValueChanged(); });
}

void FileNameField::TakeText(const QString& text) {
  binding_.Take([&] { return edit_.Type(FromQt(text)); }, [this] { ShowValue(); });
}

void FileNameField::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (event->key() == Qt::Key_Down && modifiers == Qt::AltModifier) {
    Browse();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void FileNameField::focusInEvent(QFocusEvent* event) {
  // The file-system model starts a thread of its own: only a field the user enters needs it.
  if (suggestions_ == nullptr) suggestions_ = new PathCompleter(*this);
  QLineEdit::focusInEvent(event);
}

void FileNameField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  browse_->setGeometry(width() - frame - form::kBrowseButtonWidth, frame, form::kBrowseButtonWidth,
                       height() - 2 * frame);
}

void FileNameField::dragEnterEvent(QDragEnterEvent* event) {
  if (FirstDroppedFile(event->mimeData()).isEmpty()) return QLineEdit::dragEnterEvent(event);
  event->acceptProposedAction();
}

void FileNameField::dragMoveEvent(QDragMoveEvent* event) {
  if (FirstDroppedFile(event->mimeData()).isEmpty()) return QLineEdit::dragMoveEvent(event);
  event->acceptProposedAction();
}

void FileNameField::dropEvent(QDropEvent* event) {
  const QString file = FirstDroppedFile(event->mimeData());
  if (file.isEmpty()) return QLineEdit::dropEvent(event);
  event->acceptProposedAction();
  Guarded([&] { SetFileName(FromQt(file)); });
}

void FileNameField::Browse() {
  QFileDialog& dialog = Dialog();
  PrepareDialog(dialog);
  const bool chosen = RunDialog(dialog);
  if (focusPolicy() != Qt::NoFocus && isEnabled()) setFocus(Qt::OtherFocusReason);
  if (chosen && !dialog.selectedFiles().isEmpty())
    Guarded([&] { edit_.TakeChoice(FromQt(dialog.selectedFiles().front())); });
}

QFileDialog& FileNameField::Dialog() {
  if (dialog_ == nullptr) {
    dialog_ = new QFileDialog(this, ToQt(form::kBrowseTitle));
    // Qt's own dialog on every platform: a native one may demand that an opened file exist.
    dialog_->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog_->setFileMode(QFileDialog::AnyFile);
  }
  return *dialog_;
}

void FileNameField::PrepareDialog(QFileDialog& dialog) {
  const job::BrowseStart start = edit_.DialogStart();
  dialog.setAcceptMode(dialog_data_.kind == form::DialogKind::kSave ? QFileDialog::AcceptSave
                                                                    : QFileDialog::AcceptOpen);
  dialog.setNameFilters(DialogNameFilters(ToQt(dialog_data_.filter)));
  dialog.setDefaultSuffix(ToQt(dialog_data_.default_ext));
  if (!start.folder.empty()) dialog.setDirectory(ToQt(start.folder));
  dialog.selectFile(ToQt(start.name));
}

}  // namespace korvu::app
