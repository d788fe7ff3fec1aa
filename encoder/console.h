#pragma once

#include <cstdio>
#include <string_view>

namespace korvu::enc {

// Whether `stream` is a terminal, where a line can be rewritten in place; a file, a pipe or the
// null device is not.
bool IsTerminal(std::FILE* stream);

// The width of the terminal behind `stream` in characters, 0 when unknown.
int TerminalColumns(std::FILE* stream);

// Writes UTF-8 text to `stream` so that a console shows its letters: file names may hold any.
void WriteText(std::FILE* stream, std::string_view text);

}  // namespace korvu::enc
