#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/win32/controls.h"
#include "app/win32/fields/field.h"
#include "job/list_edit.h"

namespace korvu::app::win32 {

// What both kinds of drop-down list share: their entries, the completion of typed characters in
// an editable list (to the first entry that begins with the typed text, the added rest selected),
// the fixed list's search by typing, and the user's choice from the list or by the arrow keys,
// each handed to the value through job::ListEdit.
class ListField : public Field {
 public:
  void Command(HWND from, WORD code) override;

 protected:
  ListField(job::ListEdit edit, bool editable, HWND parent, const Rect& box, HFONT font);

  LRESULT Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;
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
  job::ListEdit list_edit_;

 private:
  bool Complete(char typed);
  // A printable character typed into a fixed list; the list's own search is not used.
  void Search(char typed);
  void TakeChoice(int index);

  HWND edit_ = nullptr;  // an editable list's edit; null for a fixed list
};

// A list bound to a list index: editable (typing completes; a typed text that is no entry selects
// none) or fixed (characters typed within half a second of each other search the entries
// together). A user's choice from the open list always reaches the value.
class ListIndexField : public ListField {
 public:
  ListIndexField(job::ListIndex& index, bool editable, HWND parent, const Rect& box, HFONT font);

 protected:
  void TakeEdit() override;
  void TakeBackspace() override { TakeEdit(); }
  void ShowValue() override;

 private:
  job::ListIndex& index_;
};

// An editable list bound to a free text, with entries offered: any text goes, an entry chosen or
// completed becomes the text. A line break that a paste brings in cuts the text just before it.
class FreeTextList : public ListField {
 public:
  FreeTextList(job::TextValue& text, const std::vector<std::string>& entries, HWND parent,
               const Rect& box, HFONT font);

 protected:
  void TakeEdit() override;
  void ShowValue() override;

 private:
  job::TextValue& text_;
};

}  // namespace korvu::app::win32
