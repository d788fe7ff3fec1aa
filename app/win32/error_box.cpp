#include "app/win32/error_box.h"

#include "app/form/window_description.h"
#include "job/error.h"

namespace korvu::app::win32 {

void ShowErrorBox(const std::string& message, HWND owner) {
  const std::string title(form::kTitle);
  MessageBoxA(owner, job::ErrorBoxText(message).c_str(), title.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace korvu::app::win32
