#pragma once

#include <windows.h>

#include <string_view>

namespace korvu::app::win32 {

// Puts the 16×16 picture `name` (scaled for `dpi`) on a push button, with its grayed twin for the
// disabled button where it has one, in place of the pictures it had. The pictures are the
// program's icon resources.
void SetButtonPicture(HWND button, std::string_view name, int dpi);

// The program's icon at `size` pixels.
HICON ProgramIcon(int size);

}  // namespace korvu::app::win32
