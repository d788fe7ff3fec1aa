#include "app/qt/fields/list_field.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "app/form/guard.h"
#include "app/qt/fields/field_accessible.h"
#include "app/qt/fields/shortcut.h"
#include "app/qt/qt_text.h"

namespace korvu::app {
namespace {

std::chrono::milliseconds SteadyNow() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

bool IsPrintable(const QKeyEvent& event) {
  const QString& typed = event.text();
  return !typed.isEmpty() && typed.front().isPrint() && !IsShortcut(event);
}

// A position in `text` counted in UTF-8 bytes, as the list rules count.
std::size_t Utf8Position(const QString& text, int position) {
  return static_cast<std::size_t>(text.left(position).toUtf8().size());
}

}  // namespace

ListField::ListField(job::ListEdit edit, bool editable, QWidget* parent)
    : QComboBox(parent), edit_(std::move(edit)), clock_(SteadyNow) {
  InstallFieldAccessibles();
  for (const std::string& entry : edit_.Entries()) addItem(ToQt(entry));
  setEditable(editable);
  connect(this, &QComboBox::activated, this,
          [this](int chosen) { Guarded([&] { edit_.Choose(chosen); }); });
  if (!editable) return;
  setCompleter(nullptr);  // the completion here is our own
  setInsertPolicy(QComboBox::NoInsert);
}

void ListField::Select(int index, bool keep_text) {
  binding_.Quietly([&] {
    if (!keep_text || !isEditable()) return setCurrentIndex(index);
    // Qt clears the text along with the selection; a typed text stays.
    const QString text = lineEdit()->text();
    const int caret = lineEdit()->cursorPosition();
    setCurrentIndex(index);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(caret);
  });
}

void ListField::keyPressEvent(QKeyEvent* event) {
  if (IsPrintable(*event)) {
    if (!isEditable()) return Search(event->text());
    if (Complete(event->text())) return;
  }
  QComboBox::keyPressEvent(event);
  // Backspace leaves no entry selected, even when there was nothing to delete.
  if (isEditable() && event->key() == Qt::Key_Backspace) TakeBackspace();
}

bool ListField::Complete(const QString& typed) {
  QLineEdit& edit = *lineEdit();
  const QString text = edit.text();
  const int start = edit.hasSelectedText() ? edit.selectionStart() : text.size();
  const std::size_t length =
      edit.hasSelectedText()
          ? Utf8Position(text, start + edit.selectedText().size()) - Utf8Position(text, start)
          : 0;
  const auto completion =
      edit_.CompletionOf(FromQt(text), Utf8Position(text, start), length, FromQt(typed));
  if (!completion) return false;
  const QString shown = ToQt(completion->text);
  const int selected =
      ToQt(std::string_view(completion->text).substr(0, completion->selection_start)).size();
  Select(completion->index, false);
  Guarded([&] { edit_.Take(*completion); });
  edit.setText(shown);
  edit.setSelection(selected, static_cast<int>(shown.size()) - selected);
  return true;
}

void ListField::Search(const QString& typed) {
  Guarded([&] { edit_.Search(FromQt(typed), clock_(), currentIndex()); });
  ShowValue();  // also when a listener failed
}

ListIndexField::ListIndexField(job::ListIndex& index, Style style, QWidget* parent)
    : ListField(job::ListEdit(index), style == Style::kEditable, parent), index_(index) {
  // A typed text is no entry.
  if (isEditable()) connect(lineEdit(), &QLineEdit::textEdited, this, [this] { TakeEdit(); });
  binding_.Follow(index, [this] { ShowValue(); });
}

void ListIndexField::ShowValue() {
  if (currentIndex() != index_.Index()) Select(index_.Index(), false);
}

void ListIndexField::TakeEdit() {
  if (currentIndex() != -1) Select(-1, true);
  Guarded([&] { edit_.Edit(FromQt(lineEdit()->text())); });
}

FreeTextList::FreeTextList(job::TextValue& text, const std::vector<std::string>& entries,
                           QWidget* parent)
    : ListField(job::ListEdit(text, entries), true, parent), text_(text) {
  Select(-1, false);
  connect(this, &QComboBox::editTextChanged, this, &FreeTextList::TakeEdit);
  binding_.Follow(text, [this] { ShowValue(); });
}

void FreeTextList::ShowValue() {
  binding_.ShowText(currentText(), ToQt(text_.Text()),
                    [this](const QString& text) { setEditText(text); });
}

void FreeTextList::TakeEdit(const QString& text) {
  binding_.Take([&] { return edit_.Edit(FromQt(text)); }, [this] { ShowValue(); });
}

}  // namespace korvu::app
