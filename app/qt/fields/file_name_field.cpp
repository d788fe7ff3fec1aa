#include "app/qt/fields/file_name_field.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include "app/form/guard.h"
#include "app/qt/fields/binding.h"
#include "app/qt/fields/dialog_filter.h"
#include "app/qt/fields/path_completer.h"
#include "app/qt/qt_text.h"
#include "app/qt/run_dialog.h"
#include "job/browse_rule.h"
#include "job/text_rules.h"

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
    : QLineEdit(parent), value_(value), rules_(rules), browse_(new QToolButton(this)) {
  browse_->setFocusPolicy(Qt::NoFocus);
  browse_->setCursor(Qt::ArrowCursor);
  browse_->setIconSize(QSize(16, 16));
  // Until the window gives it its picture; the desktop's folder icon would mean a search through
  // the icon themes for every field at start-up.
  browse_->setText(QStringLiteral("..."));
  setTextMargins(0, 0, kButtonWidth, 0);
  connect(browse_, &QToolButton::clicked, this, [this] { Browse(); });
  connect(this, &QLineEdit::textChanged, this, &FileNameField::TakeText);
  Follow(*this, value_, &FileNameField::ShowValue);
}

void FileNameField::SetPicture(const QIcon& icon) {
  browse_->setIcon(icon);
}

std::string FileNameField::FileName() const {
  return rules_.FileName(value_.Text());
}

void FileNameField::SetFileName(std::string_view name) {
  value_.SetText(rules_.PathText(name));
}

void FileNameField::ShowValue() {
  const QString shown = ToQt(value_.Text());
  if (text() != shown) setText(shown);
}

void FileNameField::TakeText(const QString& text) {
  const std::string typed = FromQt(text);
  const std::string_view kept = job::CutAtLineBreak(typed);
  if (kept.size() != typed.size()) {
    setText(ToQt(kept));  // comes back here with the cut text
    return;
  }
  if (typed == value_.Text()) return;
  Guarded([&] { value_.SetText(typed); });
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
  browse_->setGeometry(width() - frame - kButtonWidth, frame, kButtonWidth, height() - 2 * frame);
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
  if (chosen && !dialog.selectedFiles().isEmpty()) TakeChoice(dialog.selectedFiles().front());
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
  if (const auto start = job::BrowseStartOf(value_.Text(), rules_)) {
    if (!start->folder.empty()) folder_ = ToQt(start->folder);
    name_ = ToQt(start->name);
  }
  dialog.setAcceptMode(dialog_data_.kind == form::DialogKind::kSave ? QFileDialog::AcceptSave
                                                                    : QFileDialog::AcceptOpen);
  dialog.setNameFilters(DialogNameFilters(ToQt(dialog_data_.filter)));
  dialog.setDefaultSuffix(ToQt(dialog_data_.default_ext));
  if (!folder_.isEmpty()) dialog.setDirectory(folder_);
  dialog.selectFile(name_);
}

void FileNameField::TakeChoice(const QString& file) {
  const QFileInfo chosen(file);
  folder_ = chosen.absolutePath();
  name_ = chosen.fileName();
  Guarded([&] { value_.SetText(job::QuotedWhenSplit(FromQt(file))); });
}

}  // namespace korvu::app
