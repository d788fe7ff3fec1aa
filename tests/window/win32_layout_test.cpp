// Korvu.exe's window built from its description and read back through the system's own calls,
// against the same golden file as the Qt window: every control in its tab order where it belongs,
// named, hinted and coloured.
#include <windows.h>
// after windows.h, which they build on
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/form/window_description.h"
#include "app/win32/controls.h"
#include "tests/window/golden_file.h"
#include "tests/window/win32_window_fixture.h"

namespace korvu::app::win32 {
namespace {

// A box in the window's client area, as the golden file writes it.
RECT BoxIn(HWND parent, HWND control) {
  RECT box{};
  GetWindowRect(control, &box);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
  return box;
}

std::string Box(const RECT& box) {
  return std::to_string(box.left) + ',' + std::to_string(box.top) + ',' +
         std::to_string(box.right - box.left) + ',' + std::to_string(box.bottom - box.top);
}

// A hint or caption as the golden file writes it: quoted, a line break as \r\n.
std::string Quoted(std::string text) {
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 4)
    text.replace(at, 2, "\\r\\n");
  return '"' + text + '"';
}

HWND TipsOf(HWND window) {
  for (HWND tips = nullptr; (tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr));)
    if (GetWindow(tips, GW_OWNER) == window) return tips;
  return nullptr;
}

// Through the wide-character message: the narrow one cuts a hint after 80 characters.
std::string HintOf(HWND window, HWND control) {
  wchar_t text[1024] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(TipsOf(window), TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
  char narrow[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

// The label that names a control for screen readers stands just before it among the window's
// children; a control without one is known by its own caption.
HWND LabelOf(HWND control) {
  HWND before = GetWindow(control, GW_HWNDPREV);
  return before != nullptr && ClassOf(before) == "Static" ? before : nullptr;
}

// A label, a check box or a list grows to fit its caption or its longest entry, within the room
// beside it, and a label to its font's height; one that is as large as that reads as the described
// box.
std::string FittedBox(HWND window, HWND control, const form::Box& described) {
  RECT box = BoxIn(window, control);
  const std::string kind = ClassOf(control);
  SIZE needed{};
  if (kind == "Static") {
    needed = TextSize(FontOf(control), Text(control));
  } else {
    needed.cx = kind == "Button" ? CheckBoxWidthNeeded(FontOf(control), Text(control))
                                 : ListWidthNeeded(control);
  }
  const int fitted = std::clamp<int>(needed.cx, described.width, form::RoomBeside(described));
  if (box.right - box.left == fitted) box.right = box.left + described.width;
  if (box.bottom - box.top == std::max<int>(needed.cy, described.height))
    box.bottom = box.top + described.height;
  return Box(box);
}

bool Maroon(HWND window, HWND label) {
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(label));
  const COLORREF colour = GetTextColor(dc);
  DeleteDC(dc);
  return colour == RGB(0x80, 0, 0);
}

// The window as the golden file describes it, in the order Tab walks it.
std::string Described(HWND window) {
  std::string text;
  // The first tab stop among the children; Tab goes on from there.
  HWND first = GetWindow(window, GW_CHILD);
  while (first != nullptr && (GetWindowLongA(first, GWL_STYLE) & WS_TABSTOP) == 0)
    first = GetWindow(first, GW_HWNDNEXT);
  HWND control = first;
  do {
    const int row = GetDlgCtrlID(control) - Win32WindowTest::kFirstId;
    if (row < 0 || row >= static_cast<int>(std::size(form::kControls))) {
      text += "no control of the description: " + ClassOf(control) + " \"" + Text(control) + "\"\n";
      control = GetNextDlgTabItem(window, control, FALSE);
      continue;
    }
    const std::string name(form::kControls[row].name);
    HWND label = LabelOf(control);
    const std::string caption = Text(label != nullptr ? label : control);
    const form::Control& row_of = form::kControls[row];
    const bool fits_its_caption =
        row_of.kind == form::Kind::kCheckBox || row_of.kind == form::Kind::kEditableList ||
        row_of.kind == form::Kind::kFixedList || row_of.kind == form::Kind::kFreeTextList;
    const std::string box =
        fits_its_caption ? FittedBox(window, control, row_of.box) : Box(BoxIn(window, control));
    text += "control " + name + ' ' + box + " caption=" + Quoted(caption) +
            " hint=" + Quoted(HintOf(window, control)) + '\n';
    if (label != nullptr && !form::kControls[row].label.name.empty()) {
      const form::Label& described = form::kControls[row].label;
      text += "label " + std::string(described.name) + ' ' +
              FittedBox(window, label, described.box) + " caption=" + Quoted(Text(label)) +
              " names=" + name + " colour=" + (Maroon(window, label) ? "maroon" : "window-text") +
              '\n';
    }
    control = GetNextDlgTabItem(window, control, FALSE);
  } while (control != first && control != nullptr);
  return text;
}

using Win32LayoutTest = Win32WindowTest;

TEST_F(Win32LayoutTest, TheWindowIsTheOneDescribed) {
  EnableWindow(Control("jvbEncode"), TRUE);  // a disabled control is no tab stop
  EXPECT_EQ(Described(form_.Handle()), test::MainFormGoldenFile());
}

// The spin fields' arrow strips lie inside their boxes, at most 15 pixels wide.
TEST_F(Win32LayoutTest, ArrowStripsLieInsideTheirFields) {
  for (const form::Control& row : form::kControls) {
    if (row.kind != form::Kind::kSpin) continue;
    HWND strip = FindWindowExA(form_.Handle(), nullptr, UPDOWN_CLASSA, nullptr);
    for (; strip != nullptr; strip = FindWindowExA(form_.Handle(), strip, UPDOWN_CLASSA, nullptr)) {
      RECT box = BoxIn(form_.Handle(), strip), field = BoxIn(form_.Handle(), Control(row.name));
      if (box.top < field.top || box.bottom > field.bottom) continue;
      EXPECT_LE(box.right - box.left, 15) << row.name << ' ' << Box(box) << " in " << Box(field);
      EXPECT_TRUE(box.left >= field.left && box.right <= field.right) << row.name;
    }
  }
}

}  // namespace
}  // namespace korvu::app::win32
