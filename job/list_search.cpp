#include "job/list_search.h"

#include "job/text_rules.h"

namespace korvu::job {

int FirstEntryBeginningWith(const std::vector<std::string>& entries, std::string_view search) {
  const std::string wanted = LowerAscii(search);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (LowerAscii(entries[i]).starts_with(wanted)) return static_cast<int>(i);
  }
  return -1;
}

std::optional<Completion> AutoComplete(const std::vector<std::string>& entries,
                                       std::string_view text, std::size_t selection_start,
                                       std::size_t selection_length, std::string_view typed) {
  std::string search(selection_length > 0 ? text.substr(0, selection_start) : text);
  search += typed;
  const int index = FirstEntryBeginningWith(entries, search);
  if (index < 0) return std::nullopt;
  // The entry's own spelling wins over the case that was typed ("f" shows "Fast").
  return Completion{index, entries[static_cast<std::size_t>(index)], search.size()};
}

std::optional<int> TypeAhead::Type(std::string_view typed, std::chrono::milliseconds now,
                                   const std::vector<std::string>& entries) {
  if (!last_ || now - *last_ >= kPause) search_.clear();
  last_ = now;
  search_ += typed;
  const int index = FirstEntryBeginningWith(entries, search_);
  if (index < 0) return std::nullopt;
  return index;
}

}  // namespace korvu::job
