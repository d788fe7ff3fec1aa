#include "job/path_rules.h"

#include <algorithm>

#include "job/error.h"
#include "job/text_rules.h"

namespace korvu::job {
namespace {

using platform::EntryKind;

// The longest first word that still counts as a file name.
std::size_t WordLimit(PathStyle style) {
  return style == PathStyle::kWindows ? 256 : 4096;
}

bool IsWordBreak(char c) {
  return c != '\0' && static_cast<unsigned char>(c) <= 32;
}

std::string_view SkipToWord(std::string_view text) {
  for (;;) {
    while (!text.empty() && IsWordBreak(text.front())) text.remove_prefix(1);
    if (text.size() >= 2 && text[0] == '"' && text[1] == '"')
      text.remove_prefix(2);
    else
      return text;
  }
}

// The first word of `text` by the command-line rule into `word`; empty when longer than `limit`.
void FirstWord(std::string_view text, std::size_t limit, std::string& word) {
  text = SkipToWord(text.substr(0, text.find('\0')));
  std::size_t end = 0;
  while (end < text.size() && !IsWordBreak(text[end]) && text[end] != '"') ++end;
  word.assign(text.substr(0, end));
  // A quoted run joins the word: its quotes dropped, its blanks kept.
  for (std::size_t i = end; i < text.size() && !IsWordBreak(text[i]);) {
    if (text[i] == '"') {
      const std::size_t close = std::min(text.find('"', i + 1), text.size());
      word.append(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      word += text[i++];
    }
  }
  if (word.size() > limit) word.clear();
}

}  // namespace

std::size_t NamePartStart(std::string_view name, PathStyle style) {
  const std::string_view separators = style == PathStyle::kWindows ? "\\:" : "/";
  const std::size_t separator = name.find_last_of(separators);
  return separator == std::string_view::npos ? 0 : separator + 1;
}

std::string ReplaceExtension(std::string_view name, std::string_view extension, PathStyle style) {
  const std::size_t dot = name.rfind('.');
  const bool has_extension = dot != std::string_view::npos && dot >= NamePartStart(name, style);
  std::string result(has_extension ? name.substr(0, dot) : name);
  result += extension;
  return result;
}

PathRules::PathRules(PathStyle style, const platform::FileSystem& file_system)
    : style_(style), file_system_(file_system) {}

EntryKind PathRules::Kind(const std::string& name) const {
  if (name.empty() || name.find('"') != std::string::npos) return EntryKind::kNone;
  return file_system_.Kind(name);
}

bool PathRules::FileExists(const std::string& name) const {
  return Kind(name) == EntryKind::kFile;
}

bool PathRules::FolderExists(const std::string& name) const {
  return Kind(name) == EntryKind::kFolder;
}

EntryKind PathRules::ReadFileName(const std::string& text, std::string& name) const {
  const EntryKind kind = Kind(text);
  if (kind == EntryKind::kNone) {
    FirstWord(text, WordLimit(style_), name);
  } else {
    name.assign(text);
    if (kind == EntryKind::kFolder && name.back() != Separator()) name += Separator();
  }
  return kind;
}

std::string PathRules::FileName(const std::string& text) const {
  std::string name;
  ReadFileName(text, name);
  return name;
}

void PathRules::FileName(const std::string& text, std::string& name) const {
  ReadFileName(text, name);
}

PathRules::Resolved PathRules::Resolve(const std::string& text) const {
  Resolved resolved;
  resolved.is_file = Resolve(text, resolved.name);
  return resolved;
}

bool PathRules::Resolve(const std::string& text, std::string& name) const {
  const EntryKind kind = ReadFileName(text, name);
  return kind == EntryKind::kNone ? WordNamesFile(text, name) : kind == EntryKind::kFile;
}

bool PathRules::NamesFile(const std::string& text) const {
  const EntryKind kind = Kind(text);
  if (kind != EntryKind::kNone) return kind == EntryKind::kFile;
  std::string word;
  FirstWord(text, WordLimit(style_), word);
  return WordNamesFile(text, word);
}

bool PathRules::WordNamesFile(const std::string& text, const std::string& word) const {
  // A text that is its own first word needs one look-up only: when it is no file or folder, its
  // first word is not either.
  return word != text && FileExists(word);
}

bool PathRules::HasFileName(const std::string& text) const {
  // After the skipped blanks and quote pairs, any character but a lone '"' starts a word; a text
  // that short cannot hold a word past the limit.
  const std::string_view rest = SkipToWord(std::string_view(text).substr(0, text.find('\0')));
  if (!rest.empty() && rest != "\"" && rest.size() <= WordLimit(style_)) return true;
  return !FileName(text).empty();
}

bool PathRules::IsValidFileName(std::string_view name) const {
  const std::string_view refused = style_ == PathStyle::kWindows ? "/<>\"?*|" : "<>\"?*|";
  const std::string file_name = FileName(std::string(name));
  return !file_name.empty() && file_name.find_first_of(refused) == std::string::npos;
}

std::string PathRules::PathText(std::string_view name) const {
  if (name.empty()) return {};
  if (!IsValidFileName(name)) throw Error(FormatText(kInvalidFileName, {name}));
  return QuotedWhenSplit(name);
}

}  // namespace korvu::job
