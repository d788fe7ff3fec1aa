#pragma once

#include <windows.h>

#include <string>

namespace korvu::app::win32 {

// Tells screen readers what `control` says beyond its name (why a disabled "Encode" cannot run),
// as an accessible description does on Linux: an annotation through the accessibility library,
// loaded with the first description. Empty: the control describes itself again.
void DescribeForScreenReaders(HWND control, const std::string& description);

}  // namespace korvu::app::win32
