// Korvu.exe on screens of the common densities (the test runs once at each, in a Wine prefix set
// to it): every caption is drawn whole, and every list is as wide as its longest entry.
#include <windows.h>
// after windows.h, which they build on
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

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

// The density the prefix was set to for this run.
int Dpi() {
  const char* dpi = std::getenv("KORVU_WINE_DPI");
  return dpi != nullptr ? std::atoi(dpi) : 96;
}

// `control` drawn by itself into a bitmap of its size; empty when ink touches neither its right
// nor its bottom edge, else which it touches. A caption cut there leaves part of a letter on the
// edge; the background is the colour most of the control shows.
std::string InkOnEdges(HWND control) {
  RECT box{};
  GetClientRect(control, &box);
  const int width = box.right, height = box.bottom;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  SendMessageA(control, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  const std::vector<DWORD> pixels(static_cast<DWORD*>(bits),
                                  static_cast<DWORD*>(bits) + width * height);
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(bitmap);

  std::map<DWORD, int> counts;
  for (DWORD pixel : pixels) ++counts[pixel];
  DWORD background = 0;
  for (int most = 0; const auto& [colour, count] : counts)
    if (count > most) most = count, background = colour;
  std::string touched;
  for (int y = 0; y < height; ++y)
    if (pixels[y * width + width - 1] != background) {
      touched += "right ";
      break;
    }
  for (int x = 0; x < width; ++x)
    if (pixels[(height - 1) * width + x] != background) {
      touched += "bottom";
      break;
    }
  return touched;
}

using Win32DensityTest = Win32WindowTest;

TEST_F(Win32DensityTest, EveryCaptionIsDrawnWhole) {
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), Dpi()) << "the prefix's density";
  ReleaseDC(nullptr, screen);
  int captions = 0, lists = 0;
  for (HWND c = GetWindow(form_.Handle(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    const std::string kind = ClassOf(c);
    const LONG type = GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK;
    if (Width(c) == 0) continue;  // the preview's name for screen readers
    if (kind == "ComboBox") {
      ++lists;
      EXPECT_LE(ListWidthNeeded(c), Width(c)) << '"' << Text(c) << '"';
    } else if (kind == "Static" ||
               (kind == "Button" && (type == BS_3STATE || type == BS_CHECKBOX))) {
      ++captions;
      EXPECT_EQ(InkOnEdges(c), "") << kind << " \"" << Text(c) << "\" at " << Dpi() << " dpi";
    }
  }
  EXPECT_EQ(captions, 13 + 3) << "labels and check boxes";
  EXPECT_EQ(lists, 3);
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
  EXPECT_EQ(picture_size(), MulDiv(16, Dpi(), 96));
  RECT window{};
  GetWindowRect(form_.Handle(), &window);
  const int other = Dpi() == 96 ? 144 : 96;
  SendMessageA(form_.Handle(), WM_DPICHANGED, MAKEWPARAM(other, other),
               reinterpret_cast<LPARAM>(&window));
  EXPECT_EQ(picture_size(), MulDiv(16, other, 96));
}

}  // namespace
}  // namespace korvu::app::win32
