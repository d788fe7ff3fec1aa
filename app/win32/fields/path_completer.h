#pragma once

#include <windows.h>

namespace korvu::app::win32 {

// Suggests the existing paths that complete what is typed into `edit`, through the shell's
// suggestion list. Called when the field first takes the focus: the shell and COM are loaded then,
// not at the program's start.
void SuggestPaths(HWND edit);

}  // namespace korvu::app::win32
