#include "app/qt/fields/list_field.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/qt/fields/binding.h"
#include "app/qt/fields/shortcut.h"
#include "app/qt/guard.h"
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

ListField::ListField(job::ListIndex& index, Style style, QWidget* parent)
    : QComboBox(parent), index_(&index), clock_(SteadyNow) {
  Fill(index.Entries(), style == Style::kEditable);
  connect(this, &QComboBox::activated, this, &ListField::TakeChoice);
  if (isEditable()) connect(lineEdit(), &QLineEdit::textEdited, this, &ListField::TakeEdit);
  Follow(*this, index, &ListField::ShowIndex);
}

ListField::ListField(job::TextValue& text, const std::vector<std::string>& entries, QWidget* parent)
    : QComboBox(parent), text_(&text), clock_(SteadyNow) {
  Fill(entries, true);
  Select(-1, false);
  connect(this, &QComboBox::activated, this, &ListField::TakeChoice);
  connect(this, &QComboBox::editTextChanged, this, &ListField::TakeEdit);
  Follow(*this, text, &ListField::ShowText);
}

void ListField::Fill(const std::vector<std::string>& entries, bool editable) {
  entries_ = entries;
  for (const std::string& entry : entries_) addItem(ToQt(entry));
  setEditable(editable);
  if (!editable) return;
  setCompleter(nullptr);  // the completion here is our own
  setInsertPolicy(QComboBox::NoInsert);
}

void ListField::ShowIndex() {
  if (currentIndex() != index_->Index()) Select(index_->Index(), false);
}

void ListField::ShowText() {
  const QString shown = ToQt(text_->Text());
  if (currentText() != shown) setEditText(shown);
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
  const bool printable = IsPrintable(*event);
  if (!isEditable()) {
    if (printable) return Search(event->text());
    return QComboBox::keyPressEvent(event);
  }
  if (printable && Complete(event->text())) return;
  QComboBox::keyPressEvent(event);
  // Backspace leaves no entry selected, even when there was nothing to delete.
  if (event->key() == Qt::Key_Backspace && index_ != nullptr) WriteIndex(-1);
}

bool ListField::Complete(const QString& typed) {
  QLineEdit& edit = *lineEdit();
  const QString text = edit.text();
  const int start = edit.hasSelectedText() ? edit.selectionStart() : text.size();
  const std::size_t length =
      edit.hasSelectedText()
          ? Utf8Position(text, start + edit.selectedText().size()) - Utf8Position(text, start)
          : 0;
  const auto completion = job::AutoComplete(entries_, FromQt(text), Utf8Position(text, start),
                                            length, FromQt(typed));
  if (!completion) return false;
  const QString shown = ToQt(completion->text);
  const int selected =
      ToQt(std::string_view(completion->text).substr(0, completion->selection_start)).size();
  Select(completion->index, false);
  if (index_ != nullptr) {
    Guarded([&] { index_->SetIndex(completion->index); });
  } else {
    Guarded([&] { text_->SetText(completion->text); });
  }
  edit.setText(shown);
  edit.setSelection(selected, static_cast<int>(shown.size()) - selected);
  return true;
}

void ListField::Search(const QString& typed) {
  const auto found = type_ahead_.Type(FromQt(typed), clock_(), entries_);
  if (!found || *found == currentIndex()) return;
  Select(*found, false);
  Guarded([&] { index_->SetIndex(*found); });
}

void ListField::TakeChoice(int index) {
  if (index_ != nullptr) return Guarded([&] { index_->Choose(index); });
  if (index >= 0 && index < static_cast<int>(entries_.size()))
    Guarded([&] { text_->SetText(entries_[static_cast<std::size_t>(index)]); });
}

void ListField::TakeEdit(const QString& text) {
  if (index_ != nullptr) return WriteIndex(-1);  // a typed text is no entry
  const std::string typed = FromQt(text);
  const std::string_view kept = job::CutAtLineBreak(typed);
  if (kept.size() != typed.size()) return lineEdit()->setText(ToQt(kept));
  if (typed != text_->Text()) Guarded([&] { text_->SetText(typed); });
}

void ListField::WriteIndex(int index) {
  if (currentIndex() != index) Select(index, true);
  Guarded([&] { index_->SetIndex(index); });
}

}  // namespace korvu::app
