#include "job/text_rules.h"

#include <algorithm>

namespace korvu::job {
namespace {

// The dequote step; returns `text` unchanged when it does not apply. Only a text with doubled
// quotes inside needs `storage`; any other result is a slice of `text`.
std::string_view Dequote(std::string_view text, std::string& storage) {
  if (text.empty() || text.front() != '"') return text;
  std::string_view rest = text.substr(1);
  std::size_t close = rest.find('"');
  if (close == std::string_view::npos || close + 1 == rest.size() || rest[close + 1] != '"') {
    const std::string_view inner = rest.substr(0, close);
    return inner.empty() ? text : inner;
  }
  storage.clear();
  while (close != std::string_view::npos && close + 1 < rest.size() && rest[close + 1] == '"') {
    storage.append(rest.substr(0, close + 1));  // keeps one of the two quotes
    rest.remove_prefix(close + 2);
    close = rest.find('"');
  }
  storage.append(rest.substr(0, close));
  return storage.empty() ? text : std::string_view(storage);
}

bool NeedsQuotes(std::string_view text) {
  for (char c : text) {
    switch (c) {
      case ' ':
      case '&':
      case '|':
      case '<':
      case '>':
      case '^':
        return true;
      default:
        break;
    }
  }
  return false;
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view CutAtLineBreak(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

void AppendQuotePath(std::string& out, std::string_view text) {
  std::string storage;
  const std::string_view trimmed = Trim(Dequote(text, storage));
  if (!NeedsQuotes(trimmed)) {
    out.append(trimmed);
    return;
  }
  out += '"';
  for (std::string_view rest = trimmed; !rest.empty();) {
    const std::size_t quote = std::min(rest.find('"'), rest.size());
    out.append(rest.substr(0, quote));
    if (quote == rest.size()) break;
    out.append("\"\"");
    rest.remove_prefix(quote + 1);
  }
  out += '"';
}

std::string QuotePath(std::string_view text) {
  std::string quoted;
  AppendQuotePath(quoted, text);
  return quoted;
}

}  // namespace korvu::job
