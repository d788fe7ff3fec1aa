#pragma once

#include <string>
#include <string_view>

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

// `text` with the letters A to Z turned into a to z; every other byte stays.
std::string LowerAscii(std::string_view text);

// Dequote, trim, requote: the one normalisation of paths and free texts that enter a command line
// or come out of a settings file.
//  - Dequote, only when the very first character is '"': the text up to the first '"' that is not
//    doubled, with doubled quotes turned into one; without a closing quote, all of the rest. When
//    that gives an empty text, the text stays exactly as it was.
//  - Trim codes 0 to 32 at both ends.
//  - Requote when a blank (code 32; a tab does not count) or one of the command interpreter's
//    operators & | < > ^ is inside: wrap in '"', doubling every '"' inside. Without the operators
//    an input named Tom&Jerry.avs would run "Jerry.avs" as a command from the job script.
std::string QuotePath(std::string_view text);
// QuotePath(text) appended to `out`.
void AppendQuotePath(std::string& out, std::string_view text);

}  // namespace korvu::job
