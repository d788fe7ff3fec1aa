// Korvu.exe on a denser screen (the test's Wine prefix runs at 144 dots per inch): every caption
// fits the control that shows it, measured on the controls themselves in their own fonts.
#include <windows.h>
// after windows.h, which they build on
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/form/main_form.h"
#include "app/win32/controls.h"
#include "tests/window/win32_window_fixture.h"

namespace korvu::app::win32 {
namespace {

int Width(HWND control) {
  RECT box{};
  GetWindowRect(control, &box);
  return box.right - box.left;
}

// The width a control's caption needs, in its font: a label's text; a check box's box, gap and
// text; a list's longest entry with the edit's margins beside its button and frame.
int Needed(HWND control) {
  const std::string kind = ClassOf(control);
  if (kind == "Static") {
    const HFONT font = FontOf(control);
    return TextWidth(font, Text(control));
  }
  return kind == "Button" ? CheckBoxWidthNeeded(FontOf(control), Text(control))
                          : ListWidthNeeded(control);
}

using Win32DensityTest = Win32WindowTest;

TEST_F(Win32DensityTest, EveryCaptionFitsItsControl) {
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 144) << "the prefix's density";
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
    EXPECT_LE(Needed(c), Width(c)) << kind << " \"" << Text(c) << '"';
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
  EXPECT_EQ(picture_size(), 24);
  RECT window{};
  GetWindowRect(form_.Handle(), &window);
  SendMessageA(form_.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96),
               reinterpret_cast<LPARAM>(&window));
  EXPECT_EQ(picture_size(), 16);
}

}  // namespace
}  // namespace korvu::app::win32
