#include "cmd/line_text.h"

namespace korvu::cmd {
namespace {

bool IsOperator(char c) {
  return c == '&' || c == '|' || c == '<' || c == '>';
}

std::string ArgumentText(char selector, const std::vector<std::string>& arguments) {
  if (selector == '*') {
    std::string all;
    for (std::size_t i = 1; i < arguments.size(); ++i) all += (i > 1 ? " " : "") + arguments[i];
    return all;
  }
  const std::size_t index = static_cast<std::size_t>(selector - '0');
  return index < arguments.size() ? arguments[index] : std::string();
}

}  // namespace

std::string ExpandPercents(std::string_view line, const VariableLookup& lookup,
                           const std::vector<std::string>& arguments) {
  std::string expanded;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t percent = line.find('%', at);
    expanded.append(line.substr(at, percent - at));
    if (percent == std::string_view::npos) break;
    const char next = percent + 1 < line.size() ? line[percent + 1] : '\0';
    if (next == '%') {
      expanded += '%';
      at = percent + 2;
    } else if ((next >= '0' && next <= '9') || next == '*') {
      expanded += ArgumentText(next, arguments);
      at = percent + 2;
    } else {
      const std::size_t close = line.find('%', percent + 1);
      if (close == std::string_view::npos) {
        at = percent + 1;
      } else {
        expanded += lookup(line.substr(percent + 1, close - percent - 1)).value_or("");
        at = close + 1;
      }
    }
  }
  return expanded;
}

ResolvedLine ResolveEscapes(std::string_view line) {
  ResolvedLine resolved;
  bool quoted = false;
  for (std::size_t at = 0; at < line.size(); ++at) {
    const char c = line[at];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == '^') {
      if (++at == line.size()) break;
      resolved.text += line[at];
      continue;
    } else if (!quoted && IsOperator(c)) {
      resolved.unquoted_operator = c;
      return resolved;
    }
    resolved.text += c;
  }
  return resolved;
}

}  // namespace korvu::cmd
