#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/path_style.h"

namespace korvu::job {

// How paths are spelled, and the style of the platform the program is built for.
using platform::NativePathStyle;
using platform::PathStyle;

// Where the name part of `name` begins: after its last folder separator ("/" in the POSIX style,
// "\" or ":" in the Windows style), 0 when it has none. What comes before is its folder part.
std::size_t NamePartStart(std::string_view name, PathStyle style);

// The name with its extension (from the last "." after the last folder separator) replaced by
// `extension`; a name without one gets `extension` appended.
std::string ReplaceExtension(std::string_view name, std::string_view extension, PathStyle style);

// The rules by which a path's text yields a file name and a file counts as existing.
class PathRules {
 public:
  PathRules(PathStyle style, const platform::FileSystem& file_system);

  PathStyle Style() const { return style_; }
  char Separator() const { return style_ == PathStyle::kWindows ? '\\' : '/'; }

  // Whether `name` is an existing file (a folder is not). An empty name and a name holding a '"'
  // never count.
  bool FileExists(const std::string& name) const;
  bool FolderExists(const std::string& name) const;

  // The file name of a path text: the text itself when it names an existing file, the text with a
  // separator appended when it names an existing folder, else its first word by the command-line
  // rule (leading codes 1 to 32 and pairs of '"' at the start of the word are skipped; the word
  // runs to the first code 1 to 32 outside quotes; a '"' opens a quoted run up to the next '"',
  // quotes dropped and blanks inside kept; a NUL ends the text). A word longer than 256 characters
  // (Windows) or 4096 (POSIX) is refused: the name is empty.
  std::string FileName(const std::string& text) const;
  void FileName(const std::string& text, std::string& name) const;  // into a reused buffer
  // The file name of a path text and whether that name is an existing file. Each file-system
  // look-up happens at most once.
  struct Resolved {
    std::string name;
    bool is_file = false;
  };
  Resolved Resolve(const std::string& text) const;
  bool Resolve(const std::string& text, std::string& name) const;  // the name into a reused buffer
  // Resolve(text).is_file without building the name where the text is one.
  bool NamesFile(const std::string& text) const;
  // Whether the file name of `text` is not empty; looks the text up only when its first word is.
  bool HasFileName(const std::string& text) const;

  // The path text for the file name `name`: refused with Error("Ungültiger Dateiname - NAME")
  // when its file name is empty or holds a character that no file name may hold; wrapped in '"'
  // when it holds a code 1 to 32 (a blank, a tab) and does not begin with '"'. An empty name
  // gives an empty text.
  std::string PathText(std::string_view name) const;
  bool IsValidFileName(std::string_view name) const;

  std::string ReplaceExtension(std::string_view name, std::string_view extension) const {
    return job::ReplaceExtension(name, extension, style_);
  }

 private:
  platform::EntryKind Kind(const std::string& name) const;
  // The file name of `text` into `name`; returns the kind of `text` itself.
  platform::EntryKind ReadFileName(const std::string& text, std::string& name) const;
  // Whether the first word of a text that names no entry is an existing file.
  bool WordNamesFile(const std::string& text, const std::string& word) const;

  PathStyle style_;
  const platform::FileSystem& file_system_;
};

}  // namespace korvu::job
