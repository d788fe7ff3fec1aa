#include "job/text_rules.h"

namespace korvu::job {
namespace {

// The dequote step; returns `text` unchanged when it does not apply.
std::string_view Dequote(std::string_view text, std::string& storage) {
  if (text.empty() || text.front() != '"') return text;
  storage.clear();
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '"') {
      storage += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      storage += '"';
      ++i;
    } else {
      break;
    }
  }
  return storage.empty() ? text : std::string_view(storage);
}

bool NeedsQuotes(std::string_view text) {
  return text.find_first_of(" &|<>^") != std::string_view::npos;
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

std::string QuotePath(std::string_view text) {
  std::string storage;
  const std::string_view trimmed = Trim(Dequote(text, storage));
  if (!NeedsQuotes(trimmed)) return std::string(trimmed);
  std::string quoted;
  quoted.reserve(trimmed.size() + 2);
  quoted += '"';
  for (char c : trimmed) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace korvu::job
