#include "app/win32/accessible_description.h"

// The accessibility library's identifiers, defined here.
#include <initguid.h>
#include <oleacc.h>

#include "app/win32/library.h"

namespace korvu::app::win32 {
namespace {

IAccPropServices* Annotations() {
  static IAccPropServices* const services = []() -> IAccPropServices* {
    auto* create = LibraryFunction<decltype(CoCreateInstance)>("ole32.dll", "CoCreateInstance");
    void* made = nullptr;
    if (!EnterApartment() || create == nullptr ||
        FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      &made)))
      return nullptr;
    return static_cast<IAccPropServices*>(made);
  }();
  return services;
}

}  // namespace

void DescribeForScreenReaders(HWND control, const std::string& description) {
  static bool described = false;  // until then no control has a description to take back
  if (description.empty() && !described) return;
  described = true;
  IAccPropServices* services = Annotations();
  if (services == nullptr) return;
  if (description.empty()) {
    MSAAPROPID property = PROPID_ACC_DESCRIPTION;
    services->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &property, 1);
    return;
  }
  std::wstring wide(description.size() + 1, L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_ACP, 0, description.c_str(), -1, wide.data(), static_cast<int>(wide.size()))));
  services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                           wide.c_str());
}

}  // namespace korvu::app::win32
