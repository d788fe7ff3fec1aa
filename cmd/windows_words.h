#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvu::cmd {

// The program word of a Windows command line and what follows it.
struct ProgramWord {
  std::string raw;      // the word as written, quotes included
  std::string program;  // the word with its quotes removed
  std::string rest;     // everything after the blank or tab that ended the word
};

// Splits off the program word the way the C runtime reads argv[0]: leading blanks and tabs are
// skipped, every '"' toggles quoting and is dropped, and a blank or tab outside quotes ends the
// word. Backslashes are ordinary characters here, and there is no doubled-quote rule: a program
// name never holds a '"'.
ProgramWord SplitProgramWord(std::string_view command_line);

// Splits the arguments after the program word by the rules of the Windows C runtime:
//  - blanks and tabs outside quotes separate arguments;
//  - '"' starts or ends quoting and is dropped; inside quotes, "" gives one literal '"';
//  - 2n backslashes before a '"' give n backslashes and the quote acts as above;
//    2n+1 backslashes before a '"' give n backslashes and a literal '"';
//  - backslashes not followed by '"' are literal.
// An empty pair of quotes gives an empty argument.
std::vector<std::string> SplitArguments(std::string_view text);

// Splits the parameters of a batch script (%1, %2, ...) the way the interpreter does: blanks, tabs,
// commas, semicolons and equals signs outside quotes separate them; quotes stay part of the
// parameter, so that "my clip.avi" reaches the script's own program lines as one argument.
std::vector<std::string> SplitBatchParameters(std::string_view text);

// True when `name` ends in ".bat" or ".cmd", in any letter case: a batch script, run by the
// interpreter rather than started as a program.
bool IsBatchName(std::string_view name);

}  // namespace korvu::cmd
