#pragma once

#include <windows.h>

namespace korvu::app::win32 {

// A function of a system library, the library loaded at the function's first use rather than with
// the program, so that a start pays only for what every window needs. Null when the library or
// the function is missing.
template <typename Function>
Function* LibraryFunction(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  if (module == nullptr) module = LoadLibraryA(library);
  if (module == nullptr) return nullptr;
  // Through the generic function type, which the compiler accepts as a cast between functions.
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// COM on this thread, as the shell's suggestion list and the file dialogs need it, entered at the
// first of them (with its library); true when it is there.
bool EnterApartment();

}  // namespace korvu::app::win32
