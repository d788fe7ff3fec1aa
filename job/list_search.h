#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvu::job {

// The number of the first entry that begins with `search`, letters compared without regard to
// case; -1 when none does.
int FirstEntryBeginningWith(const std::vector<std::string>& entries, std::string_view search);

// What the editable list shows after auto-completing a typed character: the entry `index` and its
// text, the part after the search text selected (from `selection_start` to the end) so that the
// next character replaces it.
struct Completion {
  int index = -1;
  std::string text;
  std::size_t selection_start = 0;
};

// The auto-completion of `typed` (one character, UTF-8) in an editable list showing `text` with
// `selection_length` characters selected from `selection_start`. The search text is the part before
// the selection followed by `typed` when something is selected, else the whole text followed by
// `typed`. Nothing when no entry begins with it: the character is then typed as usual and no entry
// stays selected.
std::optional<Completion> AutoComplete(const std::vector<std::string>& entries,
                                       std::string_view text, std::size_t selection_start,
                                       std::size_t selection_length, std::string_view typed);

// The fixed list's search by typing: characters typed less than kPause apart make one search text,
// a longer pause starts a new one.
class TypeAhead {
 public:
  static constexpr std::chrono::milliseconds kPause{500};

  // The entry that the search text, with `typed` added at the time `now`, selects; nothing when no
  // entry begins with it.
  std::optional<int> Type(std::string_view typed, std::chrono::milliseconds now,
                          const std::vector<std::string>& entries);

 private:
  std::string search_;
  std::optional<std::chrono::milliseconds> last_;
};

}  // namespace korvu::job
