#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/win32/controls.h"
#include "app/win32/fields/field.h"
#include "job/list_search.h"

namespace korvu::app::win32 {

// What both kinds of drop-down list share: their entries, the completion of typed characters in
// an editable list (to the first entry that begins with the typed text, the added rest selected),
// and the user's choice from the list or by the arrow keys.
class ListField : public Field {
 public:
  void Command(HWND from, WORD code) override;

 protected:
  ListField(const std::vector<std::string>& entries, bool editable, HWND parent, const Rect& box,
            HFONT font);

  LRESULT Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;
  // A printable character typed into a fixed list; the list's own search is not used.
  virtual void TakeKey(char /*typed*/) {}
  virtual void TakeCompletion(const job::Completion& completion) = 0;
  virtual void TakeChoice(int index) = 0;
  // The user has changed the text of an editable list by typing or deleting.
  virtual void TakeEdit() = 0;
  // Backspace in an editable list, after it has deleted.
  virtual void TakeBackspace() {}
  // The choice shown again, after the open list was left without one.
  virtual void ShowValue() = 0;

  int CurrentIndex() const;
  // Shows entry `index` (-1: none); `keep_text` keeps an editable list's typed text and caret.
  void Select(int index, bool keep_text);
  std::string Text() const;
  void SetText(const std::string& text);
  const std::vector<std::string>& Entries() const { return entries_; }
  HWND Edit() const { return edit_; }

 private:
  bool Complete(char typed);

  std::vector<std::string> entries_;
  HWND edit_ = nullptr;  // an editable list's edit; null for a fixed list
};

// A list bound to a list index: editable (typing completes; a typed text that is no entry selects
// none) or fixed (characters typed within half a second of each other search the entries
// together). A user's choice from the open list always reaches the value.
class ListIndexField : public ListField {
 public:
  ListIndexField(job::ListIndex& index, bool editable, HWND parent, const Rect& box, HFONT font);

 protected:
  void TakeKey(char typed) override;
  void TakeCompletion(const job::Completion& completion) override;
  void TakeChoice(int index) override;
  void TakeEdit() override;
  void TakeBackspace() override { TakeEdit(); }
  void ShowValue() override;

 private:
  job::ListIndex& index_;
  job::TypeAhead type_ahead_;
};

// An editable list bound to a free text, with entries offered: any text goes, an entry chosen or
// completed becomes the text. A line break that a paste brings in cuts the text just before it.
class FreeTextList : public ListField {
 public:
  FreeTextList(job::TextValue& text, const std::vector<std::string>& entries, HWND parent,
               const Rect& box, HFONT font);

 protected:
  void TakeCompletion(const job::Completion& completion) override;
  void TakeChoice(int index) override;
  void TakeEdit() override;
  void ShowValue() override;

 private:
  job::TextValue& text_;
};

}  // namespace korvu::app::win32
