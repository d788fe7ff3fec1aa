#include "job/list_edit.h"

#include "job/text_rules.h"

namespace korvu::job {

void ListEdit::Take(const Completion& completion) {
  if (index_ != nullptr) return index_->SetIndex(completion.index);
  text_->SetText(completion.text);
}

std::optional<int> ListEdit::Search(std::string_view typed, std::chrono::milliseconds now,
                                    int shown) {
  const auto found = type_ahead_.Type(typed, now, entries_);
  if (!found || *found == shown) return std::nullopt;
  if (index_ != nullptr) index_->SetIndex(*found);
  return found;
}

void ListEdit::Choose(int index) {
  if (index_ != nullptr) return index_->Choose(index);
  if (index >= 0 && index < static_cast<int>(entries_.size()))
    text_->SetText(entries_[static_cast<std::size_t>(index)]);
}

bool ListEdit::Edit(const std::string& typed) {
  if (index_ != nullptr) {
    index_->SetIndex(-1);
    return false;
  }
  const std::string_view kept = CutAtLineBreak(typed);
  if (kept != text_->Text()) text_->SetText(std::string(kept));
  return kept.size() != typed.size();
}

}  // namespace korvu::job
