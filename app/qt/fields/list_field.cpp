#include "app/qt/fields/list_field.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/form/guard.h"
#include "app/qt/fields/shortcut.h"
#include "app/qt/qt_text.h"
#include "job/text_rules.h"

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

ListField::ListField(const std::vector<std::string>& entries, bool editable, QWidget* parent)
    : QComboBox(parent), entries_(entries) {
  for (const std::string& entry : entries_) addItem(ToQt(entry));
  setEditable(editable);
  if (!editable) return;
  setCompleter(nullptr);  // the completion here is our own
  setInsertPolicy(QComboBox::NoInsert);
}

void ListField::Select(int index, bool keep_text) {
  const QSignalBlocker quiet(this);
  if (!keep_text || !isEditable()) return setCurrentIndex(index);
  // Qt clears the text along with the selection; a typed text stays.
  const QString text = lineEdit()->text();
  const int caret = lineEdit()->cursorPosition();
  setCurrentIndex(index);
  lineEdit()->setText(text);
  lineEdit()->setCursorPosition(caret);
}

void ListField::keyPressEvent(QKeyEvent* event) {
  if (IsPrintable(*event) && TakeKey(event->text())) return;
  QComboBox::keyPressEvent(event);
  // Backspace leaves no entry selected, even when there was nothing to delete.
  if (isEditable() && event->key() == Qt::Key_Backspace) TakeBackspace();
}

bool ListField::TakeKey(const QString& typed) {
  return isEditable() && Complete(typed);
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
      job::AutoComplete(entries_, FromQt(text), Utf8Position(text, start), length, FromQt(typed));
  if (!completion) return false;
  const QString shown = ToQt(completion->text);
  const int selected =
      ToQt(std::string_view(completion->text).substr(0, completion->selection_start)).size();
  Select(completion->index, false);
  TakeCompletion(*completion);
  edit.setText(shown);
  edit.setSelection(selected, static_cast<int>(shown.size()) - selected);
  return true;
}

ListIndexField::ListIndexField(job::ListIndex& index, Style style, QWidget* parent)
    : ListField(index.Entries(), style == Style::kEditable, parent),
      index_(index),
      clock_(SteadyNow) {
  connect(this, &QComboBox::activated, this,
          [this](int chosen) { Guarded([&] { index_.Choose(chosen); }); });
  // A typed text is no entry.
  if (isEditable()) connect(lineEdit(), &QLineEdit::textEdited, this, [this] { WriteIndex(-1); });
  binding_.Follow(index, [this] { ShowIndex(); });
}

bool ListIndexField::TakeKey(const QString& typed) {
  if (isEditable()) return ListField::TakeKey(typed);
  const auto found = type_ahead_.Type(FromQt(typed), clock_(), Entries());
  if (found && *found != currentIndex()) {
    Select(*found, false);
    Guarded([&] { index_.SetIndex(*found); });
  }
  return true;
}

void ListIndexField::TakeCompletion(const job::Completion& completion) {
  Guarded([&] { index_.SetIndex(completion.index); });
}

void ListIndexField::ShowIndex() {
  if (currentIndex() != index_.Index()) Select(index_.Index(), false);
}

void ListIndexField::WriteIndex(int index) {
  if (currentIndex() != index) Select(index, true);
  Guarded([&] { index_.SetIndex(index); });
}

FreeTextList::FreeTextList(job::TextValue& text, const std::vector<std::string>& entries,
                           QWidget* parent)
    : ListField(entries, true, parent), text_(text) {
  Select(-1, false);
  connect(this, &QComboBox::activated, this, [this](int chosen) {
    if (chosen >= 0 && chosen < static_cast<int>(Entries().size()))
      Guarded([&] { text_.SetText(Entries()[static_cast<std::size_t>(chosen)]); });
  });
  connect(this, &QComboBox::editTextChanged, this, &FreeTextList::TakeEdit);
  binding_.Follow(text, [this] { ShowText(); });
}

void FreeTextList::TakeCompletion(const job::Completion& completion) {
  Guarded([&] { text_.SetText(completion.text); });
}

void FreeTextList::ShowText() {
  const QString shown = ToQt(text_.Text());
  if (currentText() == shown) return;
  const QSignalBlocker quiet(this);
  setEditText(shown);
}

void FreeTextList::TakeEdit(const QString& text) {
  const std::string typed = FromQt(text);
  const std::string_view kept = job::CutAtLineBreak(typed);
  if (kept.size() != typed.size()) return lineEdit()->setText(ToQt(kept));
  if (typed != text_.Text()) Guarded([&] { text_.SetText(typed); });
}

}  // namespace korvu::app
