#include "app/win32/fields/file_name_field.h"

#include <shellapi.h>

#include "app/form/guard.h"
#include "app/win32/fields/path_completer.h"
#include "app/win32/file_dialog.h"
#include "app/win32/library.h"
#include "app/win32/pictures.h"
#include "app/win32/win32_text.h"

namespace korvu::app::win32 {

FileNameField::FileNameField(job::TextValue& value, const job::PathRules& rules,
                             const form::Control& row, HWND parent, const Rect& box, HFONT font,
                             int dpi)
    : value_(value), edit_(value, rules), dialog_(row.dialog), picture_(row.picture) {
  Add(CreateChild(parent, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL | WS_CLIPSIBLINGS, box, font, {},
                  WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES));
  // The button is the edit's sibling laid over the right end of its text area, above it: a themed
  // edit paints over children of its own.
  RECT inside{};
  GetClientRect(Handle(), &inside);
  MapWindowPoints(Handle(), parent, reinterpret_cast<POINT*>(&inside), 2);
  const int width = MulDiv(form::kBrowseButtonWidth, dpi, 96);
  browse_ =
      CreateChild(parent, "BUTTON", BS_PUSHBUTTON,
                  {inside.right - width, inside.top, width, inside.bottom - inside.top}, font);
  SetWindowPos(browse_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetPicture(dpi);
  SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
  Add(browse_);
  Subclass(Handle());
  binding_.Follow(value_, [this] { ShowValue(); });
}

void FileNameField::SetPicture(int dpi) {
  SetButtonPicture(browse_, picture_, dpi);
}

LRESULT FileNameField::Message(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SYSKEYDOWN:
      if (wparam == VK_DOWN) {
        Browse();
        return 0;
      }
      break;
    case WM_DROPFILES:
      TakeDrop(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_SETFOCUS:
      if (!suggesting_) SuggestPaths(Handle());
      suggesting_ = true;
      break;
    default:
      break;
  }
  return Default(control, message, wparam, lparam);
}

void FileNameField::Command(HWND from, WORD code) {
  if (from == Handle() && code == EN_CHANGE) TakeText();
  if (from == browse_ && code == BN_CLICKED) Browse();
}

void FileNameField::ShowValue() {
  binding_.ShowText(WindowText(Handle()), value_.Text(),
                    [this](const std::string& text) { SetControlText(Handle(), text); });
  Guarded([this] { edit_.ValueChanged(); });
}

void FileNameField::TakeText() {
  binding_.Take([this] { return edit_.Type(WindowText(Handle())); }, [this] { ShowValue(); });
}

// The first dropped file becomes the text, as a typed name of it would.
void FileNameField::TakeDrop(HDROP drop) {
  // The shell's library comes with the first drop.
  static auto* query = LibraryFunction<decltype(DragQueryFileA)>("shell32.dll", "DragQueryFileA");
  static auto* finish = LibraryFunction<decltype(DragFinish)>("shell32.dll", "DragFinish");
  if (query == nullptr || finish == nullptr) return;
  std::string file(MAX_PATH * 4, '\0');
  const UINT length = query(drop, 0, file.data(), static_cast<UINT>(file.size()));
  finish(drop);
  if (length == 0) return;
  file.resize(length);
  Guarded([&] { edit_.SetFileName(file); });
}

void FileNameField::Browse() {
  job::BrowseStart start = edit_.DialogStart();
  const auto chosen = ChooseFile(GetAncestor(Handle(), GA_ROOT), {.title = form::kBrowseTitle,
                                                                  .dialog = dialog_,
                                                                  .folder = std::move(start.folder),
                                                                  .name = std::move(start.name)});
  if (IsWindowEnabled(Handle())) SetFocus(Handle());
  if (chosen) Guarded([&] { edit_.TakeChoice(*chosen); });
}

}  // namespace korvu::app::win32
