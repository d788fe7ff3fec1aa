// Korvu.exe at the common densities (the test runs once at each, in a Wine prefix set to it):
// every caption and list entry fits the control that shows it.
#include <windows.h>
// after windows.h, which they build on
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/form/window_description.h"
#include "app/win32/controls.h"
#include "tests/window/win32_window_fixture.h"

namespace korvu::app::win32 {
namespace {

int Width(HWND control) {
  RECT box{};
  GetWindowRect(control, &box);
  return box.right - box.left;
}

// The density of this run.
const int kDpi = std::atoi(std::getenv("KORVU_WINE_DPI") ? std::getenv("KORVU_WINE_DPI") : "96");

// A list is as wide as its longest entry needs; a label or a check box, drawn by itself, shows no
// ink on its right or bottom edge, where a caption too large for it is cut.
bool Fits(HWND control) {
  if (ClassOf(control) == "ComboBox") return ListWidthNeeded(control) <= Width(control);
  RECT box{};
  GetClientRect(control, &box);
  Canvas canvas(box.right, box.bottom, GetSysColor(COLOR_BTNFACE));
  SendMessageA(control, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()),
               PRF_CLIENT | PRF_ERASEBKGND);
  const POINT ink = canvas.InkEnd();
  return ink.x < box.right - 1 && ink.y < box.bottom - 1;
}

using Win32DensityTest = Win32WindowTest;

TEST_F(Win32DensityTest, EveryCaptionFitsItsControl) {
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), kDpi) << "the prefix's density";
  ReleaseDC(nullptr, screen);
  int measured = 0;
  for (HWND c = GetWindow(form_.Handle(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    const std::string kind = ClassOf(c);
    const LONG style = GetWindowLongA(c, GWL_STYLE);
    const bool captioned = kind == "Static" || kind == "ComboBox" ||
                           (kind == "Button" && (style & BS_TYPEMASK) == BS_3STATE) ||
                           (kind == "Button" && (style & BS_TYPEMASK) == BS_CHECKBOX);
    if (!captioned || Width(c) == 0) continue;
    ++measured;
    EXPECT_TRUE(Fits(c)) << kind << " \"" << Text(c) << "\" at " << kDpi << " dots per inch";
  }
  EXPECT_EQ(measured, 13 + 3 + 3) << "labels, check boxes and lists";
}

// Moved to a screen of another density, the window makes its pictures again for that screen.
TEST_F(Win32DensityTest, PicturesFollowTheScreensDensity) {
  const form::Control& encode = form::ControlNamed("jvbEncode");  // its picture's size
  HWND button = Control(encode.name);
  const auto picture_size = [button] {
    BUTTON_IMAGELIST list{};
    SendMessageA(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
    int width = 0, height = 0;
    ImageList_GetIconSize(list.himl, &width, &height);
    return width;
  };
  EXPECT_EQ(picture_size(), MulDiv(16, kDpi, 96));
  RECT window{};
  GetWindowRect(form_.Handle(), &window);
  const int other = kDpi == 96 ? 144 : 96;
  SendMessageA(form_.Handle(), WM_DPICHANGED, MAKEWPARAM(other, other),
               reinterpret_cast<LPARAM>(&window));
  EXPECT_EQ(picture_size(), MulDiv(16, other, 96));
}

}  // namespace
}  // namespace korvu::app::win32
