#include "app/win32/pictures.h"

#include <commctrl.h>

#include <string>

namespace korvu::app::win32 {
namespace {

HICON LoadPicture(const std::string& name, int size) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_ICON, size, size, 0));
}

}  // namespace

void SetButtonPicture(HWND button, std::string_view name, int dpi) {
  const int size = MulDiv(16, dpi, 96);
  HICON normal = LoadPicture(std::string(name), size);
  if (normal == nullptr) return;
  HICON gray = LoadPicture(std::string(name) + "-gray", size);
  // One image per button state: normal, hot, pressed, disabled, default, stylus hot.
  HIMAGELIST pictures = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 6, 0);
  for (int state = 0; state < 6; ++state)
    ImageList_AddIcon(pictures, state == 3 && gray != nullptr ? gray : normal);
  BUTTON_IMAGELIST list{pictures, {4, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  BUTTON_IMAGELIST old{};  // the pictures of another density, made before
  SendMessageA(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&old));
  // Without the image list (common controls before version 6) the button grays the icon itself.
  if (!SendMessageA(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list))) {
    ImageList_Destroy(pictures);
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(normal));
    return;
  }
  DestroyIcon(normal);
  if (gray != nullptr) DestroyIcon(gray);
  if (old.himl != nullptr) ImageList_Destroy(old.himl);
}

HICON ProgramIcon(int size) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), "app", IMAGE_ICON, size, size, 0));
}

}  // namespace korvu::app::win32
