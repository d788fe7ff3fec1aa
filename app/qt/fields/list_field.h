#pragma once

#include <QComboBox>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/form/binding.h"
#include "job/list_search.h"
#include "job/values.h"

namespace korvu::app {

// What both kinds of drop-down list share: their entries and, when editable, the completion of
// typed characters (to the first entry that begins with the typed text, the added rest selected;
// a text that no entry begins with selects none). Program writes show without firing anything back.
class ListField : public QComboBox {
  Q_OBJECT

 protected:
  ListField(const std::vector<std::string>& entries, bool editable, QWidget* parent);

  void keyPressEvent(QKeyEvent* event) override;
  // A printable key that is no shortcut; the fixed list searches with it.
  virtual bool TakeKey(const QString& typed);
  // The list's own completion of a typed character has chosen an entry.
  virtual void TakeCompletion(const job::Completion& completion) = 0;
  // Backspace in the edit, after it has deleted.
  virtual void TakeBackspace() {}

  // Shows entry `index` (-1: none); `keep_text` keeps an editable list's typed text and caret.
  void Select(int index, bool keep_text);
  const std::vector<std::string>& Entries() const { return entries_; }

  form::Binding binding_;

 private:
  bool Complete(const QString& typed);

  std::vector<std::string> entries_;
};

// A list bound to a list index: editable (typing completes; a typed text that is no entry selects
// none) or fixed (characters typed within half a second of each other search the entries
// together). A user's choice from the open list always reaches the value.
class ListIndexField : public ListField {
  Q_OBJECT

 public:
  enum class Style { kEditable, kFixed };
  using Clock = std::function<std::chrono::milliseconds()>;

  ListIndexField(job::ListIndex& index, Style style, QWidget* parent = nullptr);

  // The time that the fixed list's search measures pauses with; a steady clock unless a test sets
  // its own.
  void SetClock(Clock clock) { clock_ = std::move(clock); }

 protected:
  bool TakeKey(const QString& typed) override;
  void TakeCompletion(const job::Completion& completion) override;
  void TakeBackspace() override { WriteIndex(-1); }

 private:
  void ShowIndex();
  void WriteIndex(int index);

  job::ListIndex& index_;
  job::TypeAhead type_ahead_;
  Clock clock_;
};

// An editable list bound to a free text, with entries offered: any text goes, an entry chosen or
// completed becomes the text. A line break that a paste brings in cuts the text just before it.
class FreeTextList : public ListField {
  Q_OBJECT

 public:
  FreeTextList(job::TextValue& text, const std::vector<std::string>& entries,
               QWidget* parent = nullptr);

 protected:
  void TakeCompletion(const job::Completion& completion) override;

 private:
  void ShowText();
  void TakeEdit(const QString& text);

  job::TextValue& text_;
};

}  // namespace korvu::app
