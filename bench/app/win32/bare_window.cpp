// The yardstick for Korvu.exe's start-up: a bare Win32 window with the same controls at the same
// places, the same window class and style, font, pictures, hints and message loop, and nothing
// behind them (no job, no registry, no settings file, no path suggestions). With
// KORVU_QUIT_AFTER_FIRST_PAINT set it ends right after its first paint, as Korvu.exe does, so that
// bench/app/win32/startup.sh can time both from start to the first frame.

// windows.h first: commctrl.h needs its types.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/form/window_description.h"
#include "app/win32/controls.h"
#include "app/win32/hints.h"
#include "app/win32/pictures.h"
#include "app/win32/quit_after_first_paint.h"

namespace {

namespace form = korvu::form;
using korvu::app::win32::CreateChild;
using korvu::app::win32::Rect;
using korvu::app::win32::SetButtonPicture;

constexpr char kWindowClass[] = "KorvuBareWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kFirstId = 100;
constexpr int kListHeight = 200;  // what an open list adds below its field

HWND preview = nullptr;
std::unique_ptr<korvu::app::win32::Hints> hints;
std::vector<HWND> maroon_labels;
std::vector<std::pair<int, HFONT>> fonts;

HFONT Font(int pixels) {
  for (const auto& [size, font] : fonts)
    if (size == pixels) return font;
  const std::string family(form::kFontFamily);
  HFONT font = CreateFontA(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, family.c_str());
  fonts.emplace_back(pixels, font);
  return font;
}

Rect Of(const form::Box& box) {
  return {box.left, box.top, box.width, box.height};
}

// The browse button is the edit's sibling laid over the right end of its text area, above it.
HWND FileField(HWND window, const form::Control& row, int id) {
  HWND edit = CreateChild(window, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL | WS_CLIPSIBLINGS,
                          Of(row.box), Font(row.font_pixels), {}, WS_EX_CLIENTEDGE, id);
  RECT inside{};
  GetClientRect(edit, &inside);
  MapWindowPoints(edit, window, reinterpret_cast<POINT*>(&inside), 2);
  HWND browse = CreateChild(window, "BUTTON", BS_PUSHBUTTON,
                            {inside.right - form::kBrowseButtonWidth, inside.top,
                             form::kBrowseButtonWidth, inside.bottom - inside.top},
                            Font(row.font_pixels));
  SetWindowPos(browse, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetButtonPicture(browse, row.picture, 96);
  SendMessageA(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, form::kBrowseButtonWidth));
  return edit;
}

// A plain list with the entries a job offers; the bare window has no job, so the frame rates
// stand for every list. The closed field is as high as its box.
HWND List(HWND window, const form::Control& row, bool editable, int id) {
  const DWORD style =
      WS_TABSTOP | WS_VSCROLL | (editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
  const Rect box = Of(row.box);
  HWND list = CreateChild(window, "COMBOBOX", style,
                          {box.left, box.top, box.width, box.height + kListHeight},
                          Font(row.font_pixels), {}, 0, id);
  const auto frame = static_cast<int>(SendMessageA(list, CB_GETITEMHEIGHT, WPARAM(-1), 0));
  RECT shown{};
  GetWindowRect(list, &shown);
  SendMessageA(list, CB_SETITEMHEIGHT, WPARAM(-1), frame + box.height - (shown.bottom - shown.top));
  for (const std::string_view entry : korvu::job::kOfferedFrameRates)
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::string(entry).c_str()));
  return list;
}

HWND Spin(HWND window, const form::Control& row, int id) {
  HWND edit = CreateChild(window, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, Of(row.box),
                          Font(row.font_pixels), "0", WS_EX_CLIENTEDGE, id);
  HWND arrows = CreateChild(window, UPDOWN_CLASSA, UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, {},
                            Font(row.font_pixels));
  SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessageA(arrows, UDM_SETRANGE32, 0, 100);
  SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
  return edit;
}

// The stock control for each kind of row, with nothing bound to it.
HWND Plain(HWND window, const form::Control& row, int id) {
  const HFONT font = Font(row.font_pixels);
  switch (row.kind) {
    case form::Kind::kFileName:
      return FileField(window, row, id);
    case form::Kind::kNumber:
      return CreateChild(window, "EDIT", WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL, Of(row.box), font,
                         "0", WS_EX_CLIENTEDGE, id);
    case form::Kind::kSpin:
      return Spin(window, row, id);
    case form::Kind::kEditableList:
    case form::Kind::kFreeTextList:
      return List(window, row, true, id);
    case form::Kind::kFixedList:
      return List(window, row, false, id);
    case form::Kind::kCheckBox:
      return CreateChild(window, "BUTTON", WS_TABSTOP | BS_3STATE, Of(row.box), font, row.caption,
                         0, id);
    case form::Kind::kButton: {
      HWND button = CreateChild(window, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, Of(row.box), font,
                                row.caption, 0, id);
      SetButtonPicture(button, row.picture, 96);
      return button;
    }
    case form::Kind::kPreview:
      return preview = CreateChild(window, "EDIT", WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                                   Of(row.box), font, {}, WS_EX_CLIENTEDGE, id);
  }
  return nullptr;
}

void AddControls(HWND window) {
  hints = std::make_unique<korvu::app::win32::Hints>(window, 96);
  int id = kFirstId;
  for (const form::Control& row : form::kControls) {
    if (!row.label.name.empty()) {
      HWND label = CreateChild(window, "STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, Of(row.label.box),
                               Font(form::kFontPixels), row.label.caption);
      if (row.label.maroon) maroon_labels.push_back(label);
    }
    HWND control = Plain(window, row, id++);
    if (!row.hint.empty()) hints->Add(control, std::string(row.hint));
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(wparam);
      const auto control = reinterpret_cast<HWND>(lparam);
      if (control == preview) {
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        SetBkColor(dc, GetSysColor(COLOR_INFOBK));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
      }
      const LRESULT brush = DefWindowProcA(window, message, wparam, lparam);
      for (HWND label : maroon_labels)
        if (label == control) SetTextColor(dc, RGB(0x80, 0, 0));
      return brush;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_mode) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  window_class.hIcon = korvu::app::win32::ProgramIcon(GetSystemMetrics(SM_CXICON));
  window_class.hIconSm = korvu::app::win32::ProgramIcon(GetSystemMetrics(SM_CXSMICON));
  RegisterClassExA(&window_class);

  RECT frame{0, 0, form::kClientWidth, form::kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const std::string title(form::kTitle);
  HWND window = CreateWindowExA(kExStyle, kWindowClass, title.c_str(), kStyle,
                                work.left + (work.right - work.left - width) / 2,
                                work.top + (work.bottom - work.top - height) / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
  AddControls(window);
  if (std::getenv("KORVU_QUIT_AFTER_FIRST_PAINT") != nullptr)
    korvu::app::win32::QuitAfterFirstPaint(window);
  ShowWindow(window, show_mode);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    hints->Relay(message);
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  for (const auto& [pixels, font] : fonts) DeleteObject(font);
  return 0;
}
