#include "cmd/script_file.h"

#include <fstream>
#include <sstream>

namespace korvu::cmd {

std::vector<std::string> SplitScriptLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : bytes) {
    if (c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream all;
  all << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return all.str();
}

}  // namespace korvu::cmd
