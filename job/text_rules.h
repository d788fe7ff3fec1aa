#pragma once

#include <string>
#include <string_view>

#include "platform/ascii_case.h"

namespace korvu::job {

// Characters with codes 0 to 32 (the blank and every control character) are "blank" for trimming
// and word splitting; characters from 128 upward are not.
inline bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

// `text` without leading and trailing characters of codes 0 to 32.
std::string_view Trim(std::string_view text);

// `text` cut just before its first line feed, or, when it has none, before its first carriage
// return: a one-line field keeps only what stands before a pasted line break. The cut text is a
// change of its own and is cut again, so a carriage return before the line feed (CR LF) goes too:
// the text ends before its first line break of either kind.
std::string_view CutAtLineBreak(std::string_view text);

// Names compare without regard to the case of A to Z (see platform/ascii_case.h).
using platform::EqualsIgnoringCase;
using platform::LowerAsciiChar;

// `text` with the letters A to Z turned into a to z; every other byte stays.
std::string LowerAscii(std::string_view text);

// EqualsIgnoringCase against a text that holds no A to Z: one side folded, for the parameter
// line's hot path.
inline bool EqualsIgnoringCaseLower(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (LowerAsciiChar(text[i]) != lower[i]) return false;
  return true;
}

// The quoting rules, by how they differ:
//  - QuotedWhenSplit wraps a name that a blank would split, as it stands;
//  - QuotedAlways wraps any text, doubling the quotes inside;
//  - QuotePath dequotes, trims and requotes a path or free text (its own contract below);
//  - AppendCommandLineArgument is QuotePath for one argument of the command line itself.

// `name` wrapped in '"' when the first-word rule would split it (a blank or another code 1 to 32
// inside) and it does not begin with '"'; else `name` itself. The text a file dialog's choice gives
// a path, without any validity check.
std::string QuotedWhenSplit(std::string_view name);

// `text` wrapped in '"', every '"' inside doubled.
std::string QuotedAlways(std::string_view text);

// Raises Error(kInvalidFileName: text) when `text` holds a CR, LF or NUL: a value that would end
// its line of a file or script early and make the rest a line of its own.
void RefuseLineBreaks(std::string_view text);

// Dequote, trim, requote: the one normalisation of paths and free texts that enter a command line
// or come out of a settings file.
//  - Dequote, only when the very first character is '"': the text up to the first '"' that is not
//    doubled, with doubled quotes turned into one; without a closing quote, all of the rest. When
//    that gives an empty text, the text stays exactly as it was.
//  - Trim codes 0 to 32 at both ends.
//  - Requote when a code 1 to 32 (the blank, a tab: whatever ends a first word) or one of the
//    command interpreter's operators & | < > ^ is inside: wrap in '"', doubling every '"' inside.
//    Without the operators an input named Tom&Jerry.avs would run "Jerry.avs" as a command from
//    the job script.
std::string QuotePath(std::string_view text);
// QuotePath(text) appended to `out`.
void AppendQuotePath(std::string& out, std::string_view text);
// QuotePath(text) as one argument of a command line, appended to `out`: when it is wrapped in
// quotes, the backslashes right before the closing quote are doubled, because the C runtime reads
// \" as an escaped quote ("C:\My Folder\" would run into the next argument). Only for the line
// itself: the fields and the settings file keep the text as QuotePath gives it.
void AppendCommandLineArgument(std::string& out, std::string_view text);

}  // namespace korvu::job
