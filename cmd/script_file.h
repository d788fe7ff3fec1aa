#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvu::cmd {

// The lines of a script: each ends at a line feed; carriage returns are dropped wherever they
// stand, so CR LF and LF endings read alike. A last line without a line feed counts.
std::vector<std::string> SplitScriptLines(std::string_view bytes);

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace korvu::cmd
