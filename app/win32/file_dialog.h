#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/form/window_description.h"

namespace korvu::app::win32 {

struct FileDialogRequest {
  std::string_view title;
  form::FileDialog dialog;
  std::string folder;  // where it opens; empty: where the system last left it
  std::string name;    // the name offered; may hold a wildcard, which then filters the list
  bool must_exist = false;
  bool ask_before_replacing = false;
};

// The common file dialog for opening or saving, owned by `owner`; the full name confirmed, or
// nothing when the user cancels.
std::optional<std::string> ChooseFile(HWND owner, const FileDialogRequest& request);

}  // namespace korvu::app::win32
