#include "app/qt/fields/number_field.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <memory>

#include "app/form/guard.h"
#include "app/qt/fields/shortcut.h"
#include "app/qt/qt_text.h"
#include "job/number_text.h"

namespace korvu::app {

NumberField::NumberField(job::NumberText& value, QWidget* parent)
    : QLineEdit(parent), value_(value), edit_(value) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(this, &QLineEdit::textChanged, this, &NumberField::TakeText);
  binding_.Follow(value_, [this] { ShowValue(); });
  Validate();
}

bool NumberField::Accepts(const QKeyEvent& event) const {
  if (IsShortcut(event)) return true;
  const std::string text = FromQt(this->text());
  // Over a selection the typed character lands where the selection begins.
  const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
  for (const QChar c : event.text()) {
    if (c.unicode() > 0x7F) return false;
    if (!job::AcceptsNumberKey(static_cast<char>(c.unicode()), text,
                               static_cast<std::size_t>(caret), hasSelectedText()))
      return false;
  }
  return true;
}

void NumberField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) return Revert();
  if (!Accepts(*event)) return;  // dropped without a sound
  QLineEdit::keyPressEvent(event);
  if (event->matches(QKeySequence::Paste)) Validate();
}

void NumberField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A menu opening or another window taking over is no leaving of the field.
  if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
    Validate();
}

void NumberField::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::MiddleButton) Validate();  // pasted the selection
}

void NumberField::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu(createStandardContextMenu());
  if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste")))
    connect(paste, &QAction::triggered, this, &NumberField::Validate);  // after Qt's own paste
  menu->exec(event->globalPos());
}

void NumberField::dropEvent(QDropEvent* event) {
  QLineEdit::dropEvent(event);
  Validate();
}

void NumberField::ShowValue() {
  binding_.ShowText(text(), ToQt(value_.Text()), [this](const QString& text) { setText(text); });
  Guarded([this] { edit_.ValueChanged(); });
}

void NumberField::TakeText(const QString& text) {
  binding_.Take([&] { edit_.Type(FromQt(text)); });
}

void NumberField::Validate() {
  Guarded([this] { edit_.Validate(); });
}

void NumberField::Revert() {
  Guarded([this] { edit_.Revert(); });
  selectAll();
}

}  // namespace korvu::app
