#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace korvu::job {

// How paths are spelled. Windows: "\" separates folders (and ":" ends a drive), "/" is refused in
// a name. POSIX: "/" separates folders and is allowed in a name.
enum class PathStyle { kWindows, kPosix };

// The style of the platform the program is built for.
PathStyle NativePathStyle();

// The first word of `text` by the command-line rule: leading codes 1 to 32 and pairs of '"' at the
// start of the word are skipped; the word runs to the first code 1 to 32 outside quotes; a '"'
// opens a quoted run up to the next '"' (quotes dropped, blanks inside kept). A NUL ends the text.
// A word longer than `limit` characters is refused: the result is empty.
std::string FirstWord(std::string_view text, std::size_t limit);
// The same into `word`, reusing its buffer.
void FirstWordInto(std::string_view text, std::size_t limit, std::string& word);

// Where the name part of `name` begins: after its last folder separator ("/" in the POSIX style,
// "\" or ":" in the Windows style), 0 when it has none. What comes before is its folder part.
std::size_t NamePartStart(std::string_view name, PathStyle style);

// `name` wrapped in '"' when it holds a blank and does not begin with '"'; else `name` itself. The
// text a file dialog's choice gives a path, without any validity check.
std::string QuotedWhenBlank(std::string_view name);

// The name with its extension (from the last "." after the last folder separator) replaced by
// `extension`; a name without one gets `extension` appended.
std::string ReplaceExtension(std::string_view name, std::string_view extension, PathStyle style);

// The rules by which a path's text yields a file name and a file counts as existing.
class PathRules {
 public:
  PathRules(PathStyle style, const platform::FileSystem& file_system);

  PathStyle style() const { return style_; }
  char Separator() const { return style_ == PathStyle::kWindows ? '\\' : '/'; }

  // Whether `name` is an existing file (a folder is not). An empty name and a name holding a '"'
  // never count.
  bool FileExists(const std::string& name) const;
  bool FolderExists(const std::string& name) const;

  // The file name of a path text, and whether that name is an existing file. The name is the text
  // itself when it names an existing file, the text with a separator appended when it names an
  // existing folder, else its first word. Each file-system look-up happens at most once.
  struct Resolved {
    std::string name;
    bool is_file = false;
  };
  Resolved Resolve(const std::string& text) const { return Resolve(text, true); }
  // The file name of `text` into `name`, reusing its buffer; returns whether it is an existing
  // file (only looked up when `test_word`, for a name read as a first word).
  bool ResolveInto(const std::string& text, std::string& name, bool test_word = true) const;
  std::string FileName(const std::string& text) const { return Resolve(text, false).name; }
  // Whether the file name of `text` is an existing file: Resolve(text).is_file without the name.
  bool NamesFile(const std::string& text) const;
  // Whether the file name of `text` is not empty; looks the text up only when its first word is.
  bool HasFileName(const std::string& text) const;

  // The path text for the file name `name`: refused with Error("Ungültiger Dateiname - NAME")
  // when its file name is empty or holds a character that no file name may hold; wrapped in '"'
  // when it holds a blank and does not begin with '"'. An empty name gives an empty text.
  std::string PathText(std::string_view name) const;
  bool IsValidFileName(std::string_view name) const;

  std::string ReplaceExtension(std::string_view name, std::string_view extension) const {
    return job::ReplaceExtension(name, extension, style_);
  }

 private:
  platform::EntryKind Kind(const std::string& name) const;
  Resolved Resolve(const std::string& text, bool test_word) const;

  PathStyle style_;
  const platform::FileSystem& file_system_;
};

}  // namespace korvu::job
