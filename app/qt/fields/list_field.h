#pragma once

#include <QComboBox>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "job/list_search.h"
#include "job/values.h"

namespace korvu::app {

// A drop-down list bound either to a list index (editable or fixed) or to a free text with offered
// entries (editable). Editable: typing completes to the first entry that begins with the typed text
// and selects the added rest; a text that no entry begins with selects none. Fixed: characters
// typed within half a second of each other search the entries together. Program writes show here
// without firing anything back; a user's choice from the list always reaches the value.
class ListField : public QComboBox {
  Q_OBJECT

 public:
  enum class Style { kEditable, kFixed };
  using Clock = std::function<std::chrono::milliseconds()>;

  ListField(job::ListIndex& index, Style style, QWidget* parent = nullptr);
  ListField(job::TextValue& text, const std::vector<std::string>& entries,
            QWidget* parent = nullptr);

  // The time that the fixed list's search measures pauses with; a steady clock unless a test sets
  // its own.
  void SetClock(Clock clock) { clock_ = std::move(clock); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Fill(const std::vector<std::string>& entries, bool editable);
  void ShowIndex();
  void ShowText();
  void Select(int index, bool keep_text);
  bool Complete(const QString& typed);
  void Search(const QString& typed);
  void TakeChoice(int index);
  void TakeEdit(const QString& text);
  void WriteIndex(int index);

  job::ListIndex* index_ = nullptr;  // one of the two is bound
  job::TextValue* text_ = nullptr;
  std::vector<std::string> entries_;
  job::TypeAhead type_ahead_;
  Clock clock_;
};

}  // namespace korvu::app
