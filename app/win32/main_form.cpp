#include "app/win32/main_form.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <span>

#include "app/form/guard.h"
#include "app/win32/dm.h"
#include "app/win32/fields/check_field.h"
#include "app/win32/fields/file_name_field.h"
#include "app/win32/fields/list_field.h"
#include "app/win32/fields/number_field.h"
#include "app/win32/fields/preview_box.h"
#include "app/win32/fields/spin_field.h"
#include "app/win32/pictures.h"
#include "job/first_activation.h"
#include "job/job_script.h"
#include "job/settings_file.h"

namespace korvu::app::win32 {
namespace {

constexpr char kWindowClass[] = "KorvuMainForm";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
// Control ids start above the dialog manager's IDOK and IDCANCEL.
constexpr int kFirstId = 100;
constexpr UINT_PTR kActivationTimer = 1;
constexpr UINT_PTR kQuitTimer = 2;

// An error that a settings load meets and goes on past reaches the same report as one that
// leaves a handler.
void ReportAndGoOn(const job::Error& error) {
  Report(error.what());
}

template <typename Value>
Value& Must(Value* value, const form::Control& row) {
  if (value == nullptr) {
    const std::string message = std::string(row.name) + " shows no value of its kind";
    FatalAppExitA(0, message.c_str());
  }
  return *value;
}

std::vector<std::string> Entries(std::span<const std::string_view> entries) {
  return {entries.begin(), entries.end()};
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  window_class.hIcon = ProgramIcon(GetSystemMetrics(SM_CXICON));
  window_class.hIconSm = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
  RegisterClassExA(&window_class);
}

}  // namespace

TMainForm::TMainForm(job::Job& job, WindowPlatform platform, TDM& dm)
    : job_(job), platform_(std::move(platform)), dm_(dm), dpi_(SystemDpi()) {
  RegisterWindowClass(WindowProc);
  RECT frame{0, 0, MulDiv(form::kClientWidth, dpi_, 96), MulDiv(form::kClientHeight, dpi_, 96)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const std::string title(form::kTitle);
  CreateWindowExA(kExStyle, kWindowClass, title.c_str(), kStyle,
                  work.left + (work.right - work.left - width) / 2,
                  work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr,
                  GetModuleHandleA(nullptr), this);
  createControls();
  job_.OnParamsUpdated([this] { ShowParams(); });
  focus_ =
      controls_[static_cast<std::size_t>(&form::ControlNamed(form::kFirstFocus) - form::kControls)];
  FormCreate();
}

// The job outlives the window: a rebuild after this must not reach it.
TMainForm::~TMainForm() {
  job_.OnParamsUpdated(nullptr);
  fields_.clear();
  if (IsWindow(window_)) DestroyWindow(window_);
  for (const auto& [pixels, font] : fonts_) DeleteObject(font);
}

Rect TMainForm::Scaled(const form::Box& box) const {
  return {MulDiv(box.left, dpi_, 96), MulDiv(box.top, dpi_, 96), MulDiv(box.width, dpi_, 96),
          MulDiv(box.height, dpi_, 96)};
}

HFONT TMainForm::Font(int pixels) {
  for (const auto& [size, font] : fonts_)
    if (size == pixels) return font;
  const std::string family(form::kFontFamily);
  HFONT font = CreateFontA(-MulDiv(pixels, dpi_, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, family.c_str());
  fonts_.emplace_back(pixels, font);
  return font;
}

// One pass over the description: each control made, labelled and hinted in the order of its row,
// which is the tab order (a label comes just before its control, which names the control for
// screen readers).
void TMainForm::createControls() {
  tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, GetModuleHandleA(nullptr),
                          nullptr);
  SendMessageA(tips_, TTM_SETMAXTIPWIDTH, 0, MulDiv(400, dpi_, 96));
  SendMessageA(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  for (const form::Control& row : form::kControls) {
    if (!row.label.name.empty()) createLabel(row.label);
    createControl(row, Scaled(row.box));
  }
  auto handle = [this](std::string_view name) {
    return controls_[static_cast<std::size_t>(&form::ControlNamed(name) - form::kControls)];
  };
  jveEncoder = handle("jveEncoder");
  jveInput = handle("jveInput");
  jvbLoadIni = handle("jvbLoadIni");
  jvbSaveIni = handle("jvbSaveIni");
  jvbEncode = handle("jvbEncode");
  EnableWindow(jvbEncode, FALSE);  // only the rebuild of the parameter line enables it
  encode_hint_ = form::ControlNamed("jvbEncode").hint;
  // A disabled control shows no hint of its own: its box on the window shows it meanwhile.
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = 1;
  const Rect box = Scaled(form::ControlNamed("jvbEncode").box);
  tool.rect = {box.left, box.top, box.left + box.width, box.top + box.height};
  tool.lpszText = encode_hint_.data();
  SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TMainForm::createControl(const form::Control& row, const Rect& box) {
  const auto index = static_cast<std::size_t>(&row - form::kControls);
  const int id = kFirstId + static_cast<int>(index);
  job::JobSettings& s = job_.Settings();
  HFONT font = Font(row.font_pixels);
  std::unique_ptr<Field> field;
  switch (row.kind) {
    case form::Kind::kFileName:
      field = std::make_unique<FileNameField>(Must(form::ValueOf<job::TextValue>(s, row), row),
                                              s.Rules(), row, window_, box, font, dpi_);
      break;
    case form::Kind::kNumber:
      field = std::make_unique<NumberField>(Must(form::ValueOf<job::NumberText>(s, row), row),
                                            window_, box, font);
      break;
    case form::Kind::kSpin:
      field = std::make_unique<SpinField>(Must(form::ValueOf<job::BoundedInt>(s, row), row),
                                          window_, box, font);
      break;
    case form::Kind::kEditableList:
    case form::Kind::kFixedList:
      field = std::make_unique<ListIndexField>(Must(form::ValueOf<job::ListIndex>(s, row), row),
                                               row.kind == form::Kind::kEditableList, window_, box,
                                               font);
      break;
    case form::Kind::kFreeTextList:
      field = std::make_unique<FreeTextList>(Must(form::ValueOf<job::TextValue>(s, row), row),
                                             Entries(row.entries), window_, box, font);
      break;
    case form::Kind::kCheckBox:
      if (auto* state = form::ValueOf<job::CheckBox>(s, row)) {
        field = std::make_unique<CheckField>(*state, row.caption, window_, box, font);
      } else {
        field = std::make_unique<CheckField>(Must(form::ValueOf<job::Flag>(s, row), row),
                                             row.caption, window_, box, font);
      }
      break;
    case form::Kind::kButton:
      controls_[index] = createButton(row, box);
      break;
    case form::Kind::kPreview: {
      auto preview = std::make_unique<PreviewBox>(window_, box, font);
      jvtParams = preview.get();
      field = std::move(preview);
      break;
    }
  }
  if (field) {
    controls_[index] = field->Handle();
    for (HWND control : field->Controls())
      if (!row.hint.empty()) addHint(control, std::string(row.hint));
    fields_.push_back(std::move(field));
  }
  SetWindowLongPtrA(controls_[index], GWLP_ID, id);
}

HWND TMainForm::createButton(const form::Control& row, const Rect& box) {
  HWND button = CreateChild(window_, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, box,
                            Font(row.font_pixels), row.caption);
  SetButtonPicture(button, row.picture, dpi_);
  if (!row.hint.empty()) addHint(button, std::string(row.hint));
  return button;
}

// A label is as wide as its caption in the font at hand, as far as the room beside it allows: a
// font a little wider than the one the layout was made with must neither wrap the caption out of
// sight nor paint it over its neighbour.
void TMainForm::createLabel(const form::Label& row) {
  Rect box = Scaled(row.box);
  HFONT font = Font(form::kFontPixels);
  HDC dc = GetDC(window_);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE text{};
  GetTextExtentPoint32A(dc, row.caption.data(), static_cast<int>(row.caption.size()), &text);
  SelectObject(dc, previous);
  ReleaseDC(window_, dc);
  box.width =
      std::clamp(static_cast<int>(text.cx), box.width, MulDiv(form::LabelRoom(row), dpi_, 96));
  HWND label =
      CreateChild(window_, "STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, box, font, row.caption);
  if (row.maroon) maroon_labels_.push_back(label);
}

void TMainForm::addHint(HWND control, const std::string& text) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text.c_str());  // the tip keeps a copy
  SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK TMainForm::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<TMainForm*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TMainForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  return form->Message(message, wparam, lparam);
}

LRESULT TMainForm::Message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      Command(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
      for (const auto& field : fields_)
        if (field->Owns(header.hwndFrom)) return field->Notify(header);
      break;
    }
    case WM_CTLCOLORSTATIC:
      return ControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_ACTIVATE:
      Activate(LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_PAINT: {
      const LRESULT result = DefWindowProcA(window_, message, wparam, lparam);
      ScheduleActivation();
      // Timers come after every pending paint: the whole window is on the screen by then. The
      // stopwatch ends at the first frame, before the activation's work.
      if (quit_after_first_paint_) {
        KillTimer(window_, kActivationTimer);
        SetTimer(window_, kQuitTimer, 0, nullptr);
      }
      return result;
    }
    case WM_TIMER:
      KillTimer(window_, wparam);
      if (wparam == kQuitTimer) {
        DestroyWindow(window_);
      } else if (wparam == kActivationTimer) {
        Guarded([this] { FormActivate(); });
      }
      return 0;
    case WM_SETCURSOR:
      if (job_running_) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DPICHANGED:
      Rescale(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

void TMainForm::Command(HWND from, WORD code) {
  if (from == nullptr) return;  // Return and Escape, which the window does not take
  if (code == BN_CLICKED) {
    if (from == jvbLoadIni) return Guarded([this] { jvbLoadIniClick(); });
    if (from == jvbSaveIni) return Guarded([this] { jvbSaveIniClick(); });
    if (from == jvbEncode) return Guarded([this] { jvbEncodeClick(); });
  }
  for (const auto& field : fields_)
    if (field->Owns(from)) return field->Command(from, code);
}

// The labels of the values a job cannot do without in maroon; the preview in the tool-tip colours.
LRESULT TMainForm::ControlColour(HDC dc, HWND control) {
  if (jvtParams != nullptr && control == jvtParams->Handle()) {
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    SetBkColor(dc, GetSysColor(COLOR_INFOBK));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
  }
  const LRESULT brush = DefWindowProcA(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control));
  if (std::find(maroon_labels_.begin(), maroon_labels_.end(), control) != maroon_labels_.end()) {
    constexpr unsigned kRgb = form::kMaroon;
    SetTextColor(dc, RGB((kRgb >> 16) & 0xFF, (kRgb >> 8) & 0xFF, kRgb & 0xFF));
  }
  return brush;
}

// The focus leaves with the window and comes back to the same control. The first activation, or
// the first paint where no window manager activates, asks for the activation's work.
void TMainForm::Activate(bool active) {
  if (!active) {
    if (HWND focused = GetFocus(); focused != nullptr && IsChild(window_, focused))
      focus_ = focused;
    return;
  }
  if (focus_ != nullptr && IsWindow(focus_) && IsWindowEnabled(focus_)) SetFocus(focus_);
  ScheduleActivation();
}

// The work runs outside the message that asked for it and after the window has been painted: the
// window is seen before any error box.
void TMainForm::ScheduleActivation() {
  if (activation_due_) return;
  activation_due_ = true;
  SetTimer(window_, kActivationTimer, 0, nullptr);
}

void TMainForm::FormCreate() {
  FFirstActivate = true;
}

void TMainForm::FormActivate() {
  if (FFirstActivate) {
    const job::FocusTarget focus = job::FirstActivation(
        job_, {platform_.registry, dm_.ProcessorCount(), platform_.executable_path}, ReportAndGoOn);
    focus_ = focus == job::FocusTarget::kInput ? jveInput : jveEncoder;
    SetFocus(focus_);
    FFirstActivate = false;
  }
  job_.UpdateParams();
}

void TMainForm::ShowParams() {
  const bool ready = job_.EncodeEnabled();
  EnableWindow(jvbEncode, ready);
  // A disabled "Encode" says why, in its hint.
  const auto reasons =
      ready ? std::vector<job::NotReadyReason>() : job::NotReadyReasons(job_.Settings());
  if (std::string hint = form::EncodeHint(reasons); hint != encode_hint_) {
    encode_hint_ = std::move(hint);
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.lpszText = encode_hint_.data();
    for (const UINT_PTR id : {UINT_PTR{1}, reinterpret_cast<UINT_PTR>(jvbEncode)}) {
      tool.uId = id;
      SendMessageA(tips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  jvtParams->Show(job_.Preview());
}

void TMainForm::jvbLoadIniClick() {
  if (const auto path = dm_.ChooseLoad(window_)) job::LoadSettings(job_, *path, ReportAndGoOn);
}

void TMainForm::jvbSaveIniClick() {
  if (const auto path = dm_.ChooseSave(window_)) job::SaveSettings(job_, *path);
}

void TMainForm::jvbEncodeClick() {
  // The run disables "Encode", which had the focus; it comes back to it.
  const HWND focused = GetFocus();
  const job::EncodeHooks hooks{
      .disable_encode = [this] { EnableWindow(jvbEncode, FALSE); },
      .minimize = [this] { ShowWindow(window_, SW_MINIMIZE); },
      .exec_and_wait = [this](const std::string& line,
                              std::uint16_t mode) { return WaitForConsole(line, mode); },
      .restore =
          [this] {
            if (close_requested_) return;  // the window went at the close, and stays gone
            ShowWindow(window_, SW_RESTORE);
            SetForegroundWindow(window_);
          },
  };
  job::RunEncode(job_, platform_.executable_path, hooks);
  if (close_requested_) {
    DestroyWindow(window_);
    return;
  }
  if (focused != nullptr && IsWindow(focused) && IsWindowEnabled(focused)) {
    focus_ = focused;
    SetFocus(focused);
  }
}

// While the console runs, the window keeps painting and answering the system but takes no input:
// every control that would take some is disabled, the pointer is busy over it, and keys and clicks
// meant for it are dropped. The preview stays readable.
int TMainForm::WaitForConsole(const std::string& command_line, std::uint16_t show_mode) {
  job_running_ = true;
  ShowRunning(true);
  const int code = platform_.exec_and_wait(command_line, show_mode, [this] { PumpWithoutInput(); });
  ShowRunning(false);
  job_running_ = false;
  return code;
}

void TMainForm::PumpWithoutInput() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop, after the run
      return;
    }
    const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                       (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
    if (input && (message.hwnd == window_ || IsChild(window_, message.hwnd))) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TMainForm::ShowRunning(bool running) {
  for (const auto& field : fields_)
    if (field.get() != jvtParams) field->Enable(!running);
  EnableWindow(jvbLoadIni, !running);
  EnableWindow(jvbSaveIni, !running);
  // "Encode" is the job's to enable again, by its rebuild after the run.
  if (running) EnableWindow(jvbEncode, FALSE);
  SetCursor(LoadCursor(nullptr, running ? IDC_WAIT : IDC_ARROW));
}

// A close asked for while a job runs hides the window at once; the program ends when the run has
// ended, so that the script runs to its end.
void TMainForm::Close() {
  if (!job_running_) {
    DestroyWindow(window_);
    return;
  }
  close_requested_ = true;
  ShowWindow(window_, SW_HIDE);
}

// On a screen of another density every control keeps its place in the layout and the fonts grow
// with it.
void TMainForm::Rescale(int dpi, const RECT& suggested) {
  const int old_dpi = dpi_;
  dpi_ = dpi;
  std::vector<std::pair<int, HFONT>> old_fonts;
  old_fonts.swap(fonts_);
  for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT box{};
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&box), 2);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    for (const auto& [pixels, old] : old_fonts)
      if (old == font)
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font(pixels)), TRUE);
    SetWindowPos(child, nullptr, MulDiv(box.left, dpi, old_dpi), MulDiv(box.top, dpi, old_dpi),
                 MulDiv(box.right - box.left, dpi, old_dpi),
                 MulDiv(box.bottom - box.top, dpi, old_dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (const auto& [pixels, old] : old_fonts) DeleteObject(old);
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace korvu::app::win32
