#include "job/file_name_edit.h"

#include "job/text_rules.h"

namespace korvu::job {

bool FileNameEdit::Type(const std::string& typed) {
  const std::string_view kept = CutAtLineBreak(typed);
  if (kept != value_.Text()) value_.SetText(std::string(kept));
  return kept.size() != typed.size();
}

void FileNameEdit::ValueChanged() {
  const std::string_view kept = CutAtLineBreak(value_.Text());
  if (kept.size() != value_.Text().size()) value_.SetText(std::string(kept));
}

BrowseStart FileNameEdit::DialogStart() {
  if (const auto start = BrowseStartOf(value_.Text(), rules_)) {
    if (!start->folder.empty()) last_.folder = start->folder;
    last_.name = start->name;
  }
  return last_;
}

void FileNameEdit::TakeChoice(const std::string& chosen) {
  const std::size_t name_start = NamePartStart(chosen, rules_.Style());
  last_ = {chosen.substr(0, name_start), chosen.substr(name_start)};
  value_.SetText(QuotedWhenSplit(chosen));
}

}  // namespace korvu::job
