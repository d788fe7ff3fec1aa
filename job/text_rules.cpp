#include "job/text_rules.h"

#include <algorithm>

#include "job/error.h"

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
    // Every code that ends a first word, not only the blank: a POSIX name may hold a tab.
    if (c != '\0' && IsBlankOrControl(c)) return true;
    switch (c) {
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

// QuotePath into `out`; with `argument`, the backslashes right before the closing quote are
// doubled, so that the C runtime does not read them as escaping it.
void AppendQuoted(std::string& out, std::string_view text, bool argument) {
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
  if (argument) {
    const std::size_t last = trimmed.find_last_not_of('\\');
    out.append(trimmed.size() - (last == std::string_view::npos ? 0 : last + 1), '\\');
  }
  out += '"';
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

std::string QuotedWhenSplit(std::string_view name) {
  // Quoted on every code that ends a first word, so that a POSIX name with a tab reads whole.
  const auto splits = [](char c) { return c != '\0' && IsBlankOrControl(c); };
  if (std::none_of(name.begin(), name.end(), splits) || name.front() == '"')
    return std::string(name);
  std::string quoted;
  quoted.reserve(name.size() + 2);
  return quoted.append(1, '"').append(name).append(1, '"');
}

std::string QuotedAlways(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted += '"';
}

void RefuseLineBreaks(std::string_view text) {
  if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    throw Error(FormatText(kInvalidFileName, {text}));
}

std::string_view CutAtLineBreak(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAsciiChar(c);
  return lower;
}

void AppendQuotePath(std::string& out, std::string_view text) {
  AppendQuoted(out, text, false);
}

void AppendCommandLineArgument(std::string& out, std::string_view text) {
  AppendQuoted(out, text, true);
}

std::string QuotePath(std::string_view text) {
  std::string quoted;
  AppendQuotePath(quoted, text);
  return quoted;
}

}  // namespace korvu::job
