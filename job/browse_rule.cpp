#include "job/browse_rule.h"

namespace korvu::job {

std::optional<BrowseStart> BrowseStartOf(const std::string& text, const PathRules& rules) {
  const std::string file_name = rules.FileName(text);
  if (!rules.IsValidFileName(file_name)) return std::nullopt;
  const std::size_t name_start = NamePartStart(file_name, rules.style());
  BrowseStart start;
  const std::string folder = file_name.substr(0, name_start);
  if (rules.FolderExists(folder)) start.folder = folder;
  const std::string name = file_name.substr(name_start);
  if (!name.empty() && rules.IsValidFileName(name)) start.name = name;
  return start;
}

}  // namespace korvu::job
