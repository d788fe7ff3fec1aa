#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvu::cmd {

// Where a program name leads, the way the platform's interpreter looks for it: a name holding a
// '/' is taken as given (relative names against the current folder); any other name is looked for
// in the current folder first, then in each folder of `path_variable` (':'-separated, empty
// entries skipped). In each place the name itself is tried, then, when its last part has no
// extension, the name with ".exe". A match must be a regular file, and executable unless it is a
// batch script (.bat, .cmd). Returns the path to start, or nothing when there is no match.
std::optional<std::string> FindProgram(const std::string& name, std::string_view path_variable);

// A command line made ready to start.
struct ResolvedCommand {
  std::string path;  // the file to start (from FindProgram)
  // argv[0] is the program word without quotes; the rest are the arguments, or for a batch script
  // its parameters as written (see SplitBatchParameters)
  std::vector<std::string> argv;
  bool batch;  // the program is a batch script
};

// Splits `command_line` by the Windows rules (see cmd/windows_words.h) and finds its program.
// Nothing when the program cannot be found; `program_word` then holds the word as written, for the
// message.
std::optional<ResolvedCommand> ResolveCommandLine(std::string_view command_line,
                                                  std::string_view path_variable,
                                                  std::string& program_word);

// The interpreter's message for a program that cannot be found, with its line end.
std::string NotRecognizedMessage(std::string_view program_word);

// The ERRORLEVEL of a program that cannot be found or started.
inline constexpr int kNotRecognizedErrorLevel = 9009;

}  // namespace korvu::cmd
