#include "app/win32/library.h"

#include <objbase.h>

namespace korvu::app::win32 {

bool EnterApartment() {
  static const bool entered = [] {
    auto* initialize = LibraryFunction<decltype(CoInitializeEx)>("ole32.dll", "CoInitializeEx");
    return initialize != nullptr && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
  }();
  return entered;
}

}  // namespace korvu::app::win32
