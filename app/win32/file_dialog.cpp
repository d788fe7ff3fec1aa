#include "app/win32/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "app/win32/library.h"

namespace korvu::app::win32 {
namespace {

using DialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);

// The common dialogs' library is loaded when a dialog first opens, not at the program's start: it
// brings the printer spooler along, which took a good part of the start's time.
DialogFunction CommonDialog(const char* name) {
  static HMODULE library = LoadLibraryA("comdlg32.dll");
  if (library == nullptr) return nullptr;
  // Through the generic function type, which the compiler accepts as a cast between functions.
  return reinterpret_cast<DialogFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// "Description|*.a;*.b|..." as the dialog takes it: each part ended by a NUL, the list by a second.
std::string NativeFilter(std::string_view filter) {
  std::string native(filter.empty() ? form::kAllFilesFilter : filter);
  std::replace(native.begin(), native.end(), '|', '\0');
  native.append(2, '\0');
  return native;
}

}  // namespace

std::optional<std::string> ChooseFile(HWND owner, const FileDialogRequest& request) {
  const std::string filter = NativeFilter(request.dialog.filter);
  const std::string title(request.title);
  const std::string default_ext(request.dialog.default_ext);
  std::vector<char> file(32768, '\0');
  std::copy_n(request.name.begin(), std::min(request.name.size(), file.size() - 1), file.begin());

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = request.folder.empty() ? nullptr : request.folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = default_ext.empty() ? nullptr : default_ext.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (request.must_exist) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (request.ask_before_replacing) dialog.Flags |= OFN_OVERWRITEPROMPT;

  EnterApartment();  // the dialogs show the shell's folders
  const DialogFunction run = CommonDialog(
      request.dialog.kind == form::DialogKind::kSave ? "GetSaveFileNameA" : "GetOpenFileNameA");
  if (run == nullptr || !run(&dialog)) return std::nullopt;
  return std::string(file.data());
}

}  // namespace korvu::app::win32
