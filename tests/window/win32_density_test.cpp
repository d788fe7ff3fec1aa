// Korvu.exe on a denser screen (the test's Wine prefix runs at 144 dots per inch): every caption
// fits the control that shows it, measured from the controls themselves.
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

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

int ClientWidth(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  return client.right - client.left;
}

// The width a control's caption needs inside it: a label's text; a check box's box, gap and text
// as the control itself says; a list's longest entry beside its button.
int Needed(HWND control) {
  const std::string kind = ClassOf(control);
  if (kind == "Static") return TextWidth(control, FontOf(control), Text(control));
  if (kind == "Button") {
    SIZE ideal{};
    SendMessageA(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    return ideal.cx;
  }
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  GetComboBoxInfo(control, &parts);
  int longest = 0;
  const auto count = SendMessageA(control, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char entry[256] = {};
    SendMessageA(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
    longest = std::max(longest, TextWidth(control, FontOf(control), entry));
  }
  // The text starts where the edit or the selection field starts and ends before the button.
  return longest + parts.rcItem.left + (parts.rcButton.right - parts.rcButton.left) +
         (ClientWidth(control) - parts.rcButton.right) + 2;
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
    if (!captioned || ClientWidth(c) == 0) continue;
    ++measured;
    EXPECT_LE(Needed(c), ClientWidth(c)) << kind << " \"" << Text(c) << '"';
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
