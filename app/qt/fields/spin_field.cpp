#include "app/qt/fields/spin_field.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QWheelEvent>

#include "app/form/guard.h"
#include "app/qt/fields/arrow_strip.h"
#include "app/qt/fields/field_accessible.h"
#include "app/qt/fields/shortcut.h"
#include "app/qt/qt_text.h"

namespace korvu::app {
namespace {

static_assert(job::SpinEdit::kNotch == QWheelEvent::DefaultDeltasPerStep);

bool Accepts(const QKeyEvent& event) {
  if (IsShortcut(event)) return true;
  for (const QChar c : event.text())
    if (c.unicode() > 0x7F || !job::AcceptsSpinKey(static_cast<char>(c.unicode()))) return false;
  return true;
}

}  // namespace

SpinField::SpinField(job::BoundedInt& value, QWidget* parent)
    : QLineEdit(parent), value_(value), edit_(value), arrows_(new ArrowStrip(this)) {
  setTextMargins(0, 0, arrows_->StripWidth(), 0);
  connect(this, &QLineEdit::textChanged, this, &SpinField::TakeText);
  connect(arrows_, &ArrowStrip::Pressed, this, [this] { setFocus(Qt::MouseFocusReason); });
  connect(arrows_, &ArrowStrip::Stepped, this, &SpinField::Step);
  binding_.Follow(value_, [this] { ShowValue(); });
  InstallFieldAccessibles();
}

void SpinField::ShowValue() {
  Show(edit_.Shown(static_cast<std::size_t>(cursorPosition())));
}

void SpinField::Show(const job::SpinText& shown) {
  if (binding_.ShowText(text(), ToQt(shown.text), [this](const QString& text) { setText(text); }))
    setCursorPosition(static_cast<int>(shown.caret));
}

void SpinField::TakeText(const QString& text) {
  const auto caret = static_cast<std::size_t>(cursorPosition());
  binding_.Take([&] { edit_.Type(FromQt(text)); }, [&] { Show(edit_.Shown(caret)); });
}

void SpinField::TakeValue(int value) {
  Guarded([&] { edit_.Type(std::to_string(value)); });
}

void SpinField::Step(int by) {
  Guarded([&] { edit_.Step(by); });
}

void SpinField::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      return Step(1);
    case Qt::Key_Down:
      return Step(-1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      return event->ignore();  // for the window
    default:
      break;
  }
  if (!Accepts(*event)) {
    QApplication::beep();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void SpinField::wheelEvent(QWheelEvent* event) {
  Guarded([&] { edit_.Wheel(event->angleDelta().y()); });
  event->accept();
}

void SpinField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  ShowValue();
}

void SpinField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const int width = arrows_->StripWidth();
  arrows_->setGeometry(this->width() - frame - width, frame, width, height() - 2 * frame);
}

}  // namespace korvu::app
