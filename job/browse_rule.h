#pragma once

#include <optional>
#include <string>

#include "job/path_rules.h"

namespace korvu::job {

// Where a file-name field's browse dialog starts.
struct BrowseStart {
  std::string folder;  // the folder to open in; empty: the one the dialog had before
  std::string name;    // the name offered in that folder; may be empty
};

// The start for a field showing `text`. Its file name N decides: when N is not valid (for example
// empty) there is none, and the dialog keeps the folder and name of its previous use. Otherwise the
// folder part of N is the folder when it exists, and the name part of N is the name when it is not
// empty and valid. Never raises.
std::optional<BrowseStart> BrowseStartOf(const std::string& text, const PathRules& rules);

}  // namespace korvu::job
