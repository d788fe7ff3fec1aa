#include "app/win32/fields/path_completer.h"

#include <shlwapi.h>

#include "app/win32/library.h"

namespace korvu::app::win32 {

void SuggestPaths(HWND edit) {
  // The suggestion list is a COM object of the shell.
  const bool apartment = EnterApartment();
  static auto* complete =
      LibraryFunction<decltype(SHAutoComplete)>("shlwapi.dll", "SHAutoComplete");
  if (apartment && complete != nullptr) complete(edit, SHACF_FILESYSTEM);
}

}  // namespace korvu::app::win32
