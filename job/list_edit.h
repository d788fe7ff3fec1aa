#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/list_search.h"
#include "job/values.h"

namespace korvu::job {

// A list field's editing of its value, the same in every window: a list index (an editable or a
// fixed list) or a free text with entries offered (an editable list). What the user does arrives
// here and goes into the value; the field then shows the value. Each step that writes may raise
// what the value's listeners raise.
class ListEdit {
 public:
  explicit ListEdit(ListIndex& index) : index_(&index), entries_(index.Entries()) {}
  ListEdit(TextValue& text, std::vector<std::string> entries)
      : text_(&text), entries_(std::move(entries)) {}

  const std::vector<std::string>& Entries() const { return entries_; }

  // The completion of a character typed into an editable list (AutoComplete); nothing when no
  // entry begins with the search text, and the character is then typed as usual. Take writes it.
  std::optional<Completion> CompletionOf(std::string_view text, std::size_t selection_start,
                                         std::size_t selection_length,
                                         std::string_view typed) const {
    return AutoComplete(entries_, text, selection_start, selection_length, typed);
  }
  void Take(const Completion& completion);

  // A character typed into a fixed list at `now`: the entry that the search selects, written
  // into the value; nothing when the search finds none or finds the entry `shown` already.
  std::optional<int> Search(std::string_view typed, std::chrono::milliseconds now, int shown);

  // The user's choice of entry `index` from the open list.
  void Choose(int index);

  // The user has changed an editable list's text (typing, Backspace, a paste): a list index then
  // selects none; a free text takes the text, cut just before its first line break. Returns true
  // when the field must show the value's text instead (a line break was cut off).
  bool Edit(const std::string& typed);

 private:
  ListIndex* index_ = nullptr;  // one of the two is bound
  TextValue* text_ = nullptr;
  std::vector<std::string> entries_;
  TypeAhead type_ahead_;
};

}  // namespace korvu::job
