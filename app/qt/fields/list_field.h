#pragma once

#include <QComboBox>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/form/binding.h"
#include "job/list_edit.h"
#include "job/values.h"

namespace korvu::app {

// What both kinds of drop-down list share: their entries, the completion of a character typed
// into an editable list (to the first entry that begins with the typed text, the added rest
// selected; a text that no entry begins with selects none), the fixed list's search by typing, and
// the user's choice from the open list, each handed to the value through job::ListEdit. Program
// writes show without firing anything back.
class ListField : public QComboBox {
  Q_OBJECT

 public:
  using Clock = std::function<std::chrono::milliseconds()>;

  // The time that the fixed list's search measures pauses with; a steady clock unless a test sets
  // its own.
  void SetClock(Clock clock) { clock_ = std::move(clock); }

 protected:
  ListField(job::ListEdit edit, bool editable, QWidget* parent);

  void keyPressEvent(QKeyEvent* event) override;
  // The field shows its value again.
  virtual void ShowValue() = 0;
  // Backspace in the edit, after it has deleted.
  virtual void TakeBackspace() {}

  // Shows entry `index` (-1: none); `keep_text` keeps an editable list's typed text and caret.
  void Select(int index, bool keep_text);

  job::ListEdit edit_;
  form::Binding binding_;

 private:
  bool Complete(const QString& typed);
  void Search(const QString& typed);

  Clock clock_;
};

// A list bound to a list index: editable (typing completes; a typed text that is no entry selects
// none) or fixed (characters typed within half a second of each other search the entries
// together). A user's choice from the open list always reaches the value.
class ListIndexField : public ListField {
  Q_OBJECT

 public:
  enum class Style { kEditable, kFixed };

  ListIndexField(job::ListIndex& index, Style style, QWidget* parent = nullptr);

 protected:
  void ShowValue() override;
  void TakeBackspace() override { TakeEdit(); }

 private:
  void TakeEdit();

  job::ListIndex& index_;
};

// An editable list bound to a free text, with entries offered: any text goes, an entry chosen or
// completed becomes the text. A line break that a paste brings in cuts the text just before it.
class FreeTextList : public ListField {
  Q_OBJECT

 public:
  FreeTextList(job::TextValue& text, const std::vector<std::string>& entries,
               QWidget* parent = nullptr);

 protected:
  void ShowValue() override;

 private:
  void TakeEdit(const QString& text);

  job::TextValue& text_;
};

}  // namespace korvu::app
