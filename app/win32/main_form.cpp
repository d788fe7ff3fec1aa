#include "app/win32/main_form.h"

#include <commctrl.h>

#include "app/win32/accessible_description.h"
#include "app/win32/dm.h"
#include "app/win32/fields/check_field.h"
#include "app/win32/fields/file_name_field.h"
#include "app/win32/fields/list_field.h"
#include "app/win32/fields/number_field.h"
#include "app/win32/fields/preview_box.h"
#include "app/win32/fields/spin_field.h"
#include "app/win32/pictures.h"
#include "app/win32/wait_without_input.h"

namespace korvu::app::win32 {
namespace {

constexpr char kWindowClass[] = "KorvuMainForm";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
// Control ids start above the dialog manager's IDOK and IDCANCEL.
constexpr int kFirstId = 100;

const form::Control& kEncode = form::ControlNamed("jvbEncode");

}  // namespace

TMainForm::TMainForm(job::Job& job, form::WindowPlatform platform)
    : job_(job), fonts_(SystemDpi()), form_(job, std::move(platform), *this) {
  CreateCentredWindow({.window_class = kWindowClass,
                       .procedure = WindowProc,
                       .icon = ProgramIcon(GetSystemMetrics(SM_CXICON)),
                       .small_icon = ProgramIcon(GetSystemMetrics(SM_CXSMICON)),
                       .style = kStyle,
                       .ex_style = kExStyle,
                       .title = form::kTitle,
                       .client = fonts_.Scaled({0, 0, form::kClientWidth, form::kClientHeight})},
                      this);
  hints_ = std::make_unique<Hints>(window_, fonts_.Dpi());
  createControls();
  focus_ = Control(form::ControlNamed(form::kFirstFocus));
  form_.FormCreate();
}

TMainForm::~TMainForm() {
  fields_.clear();
  if (IsWindow(window_)) DestroyWindow(window_);
}

void TMainForm::SetDataModule(TDM& dm) {
  form_.SetDataModule(dm);
}

// One pass over the description: each control made, labelled and hinted in the order of its row,
// which is the tab order (a label comes just before its control, which names the control for
// screen readers).
void TMainForm::createControls() {
  for (const form::Control& row : form::kControls) {
    if (!row.label.name.empty()) createLabel(row.label);
    // The preview has no label on the window: one of no size names it for screen readers.
    if (row.kind == form::Kind::kPreview)
      CreateChild(window_, "STATIC", SS_NOPREFIX, {}, fonts_.Font(), row.caption);
    createControl(row, FittedBox(row, fonts_));
  }
  EnableWindow(Control(kEncode), FALSE);  // only the rebuild of the parameter line enables it
}

void TMainForm::createControl(const form::Control& row, const Rect& box) {
  const auto index = static_cast<std::size_t>(&row - form::kControls);
  if (row.kind == form::Kind::kButton) {
    controls_[index] = createButton(row, box);
  } else {
    std::unique_ptr<Field> field = createField(row, box);
    controls_[index] = field->Handle();
    if (!row.hint.empty())
      for (HWND control : field->Controls()) hints_->Add(control, std::string(row.hint));
    fields_by_row_[index] = field.get();
    fields_.push_back(std::move(field));
  }
  FitEntries(controls_[index], row, fonts_.Dpi());
  SetWindowLongPtrA(controls_[index], GWLP_ID, kFirstId + static_cast<int>(index));
}

std::unique_ptr<Field> TMainForm::createField(const form::Control& row, const Rect& box) {
  job::JobSettings& s = job_.Settings();
  HFONT font = fonts_.Font(row.font_pixels);
  switch (row.kind) {
    case form::Kind::kFileName:
      return std::make_unique<FileNameField>(form::RequiredValueOf<job::TextValue>(s, row),
                                             s.Rules(), row, window_, box, font, fonts_.Dpi());
    case form::Kind::kNumber:
      return std::make_unique<NumberField>(form::RequiredValueOf<job::NumberText>(s, row), window_,
                                           box, font);
    case form::Kind::kSpin:
      return std::make_unique<SpinField>(form::RequiredValueOf<job::BoundedInt>(s, row), window_,
                                         box, font, fonts_.Dpi());
    case form::Kind::kEditableList:
    case form::Kind::kFixedList:
      return std::make_unique<ListIndexField>(form::RequiredValueOf<job::ListIndex>(s, row),
                                              row.kind == form::Kind::kEditableList, window_, box,
                                              font);
    case form::Kind::kFreeTextList:
      return std::make_unique<FreeTextList>(form::RequiredValueOf<job::TextValue>(s, row),
                                            form::EntriesOf(row), window_, box, font);
    case form::Kind::kCheckBox:
      if (auto* state = form::ValueOf<job::CheckBox>(s, row))
        return std::make_unique<CheckField>(*state, row.caption, window_, box, font);
      return std::make_unique<CheckField>(form::RequiredValueOf<job::Flag>(s, row), row.caption,
                                          window_, box, font);
    case form::Kind::kPreview:
    case form::Kind::kButton:
      break;
  }
  auto preview = std::make_unique<PreviewBox>(window_, box, font);
  jvtParams = preview.get();
  style_.SetPreview(preview->Handle());
  return preview;
}

HWND TMainForm::createButton(const form::Control& row, const Rect& box) {
  HWND button = CreateChild(window_, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, box,
                            fonts_.Font(row.font_pixels), row.caption);
  SetButtonPicture(button, row.picture, fonts_.Dpi());
  // A disabled control shows no hint of its own: its box on the window shows it meanwhile.
  if (&row == &kEncode) {
    hints_->AddShownWhenDisabled(button, box, std::string(row.hint));
  } else if (!row.hint.empty()) {
    hints_->Add(button, std::string(row.hint));
  }
  return button;
}

void TMainForm::createLabel(const form::Label& row) {
  HWND label = CreateChild(window_, "STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                           FittedLabelBox(row, fonts_), fonts_.Font(), row.caption);
  if (row.maroon) style_.AddMaroonLabel(label);
}

// Every picture made for the window's density, after a move to a screen of another.
void TMainForm::SetPictures() {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const form::Control& row = form::kControls[i];
    if (row.kind == form::Kind::kButton) SetButtonPicture(controls_[i], row.picture, fonts_.Dpi());
    if (row.kind == form::Kind::kFileName)
      static_cast<FileNameField*>(fields_by_row_[i])->SetPicture(fonts_.Dpi());
  }
}

HWND TMainForm::Control(const form::Control& row) const {
  return controls_[static_cast<std::size_t>(&row - form::kControls)];
}

LRESULT CALLBACK TMainForm::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<TMainForm*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TMainForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return form != nullptr ? form->Message(message, wparam, lparam)
                         : DefWindowProcA(window, message, wparam, lparam);
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
      return style_.ControlColour(window_, reinterpret_cast<HDC>(wparam),
                                  reinterpret_cast<HWND>(lparam));
    case WM_ACTIVATE:
      Activate(LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_PAINT: {
      const LRESULT result = DefWindowProcA(window_, message, wparam, lparam);
      ScheduleActivation();
      return result;
    }
    case WM_TIMER:
      KillTimer(window_, wparam);
      form_.Activate();
      DescribeForScreenReaders(Control(kEncode), encode_reasons_);
      return 0;
    case WM_SETCURSOR:
      if (!busy_) break;
      SetCursor(LoadCursor(nullptr, IDC_WAIT));
      return TRUE;
    case WM_DPICHANGED:
      fonts_.Rescale(window_, HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      SetPictures();
      return 0;
    case WM_CLOSE:
      if (form_.CloseQuery()) DestroyWindow(window_);
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
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (form::kControls[i].kind == form::Kind::kButton && controls_[i] == from) {
      if (code == BN_CLICKED) form_.Click(form::kControls[i]);
      return;
    }
  }
  for (const auto& field : fields_)
    if (field->Owns(from)) return field->Command(from, code);
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

void TMainForm::FocusControl(const form::Control& row) {
  HWND control = Control(row);
  if (!IsWindowEnabled(control)) return;
  focus_ = control;
  SetFocus(control);
}

const form::Control* TMainForm::FocusedControl() const {
  const HWND focused = GetFocus();
  for (std::size_t i = 0; focused != nullptr && i < controls_.size(); ++i) {
    const bool owns =
        fields_by_row_[i] != nullptr ? fields_by_row_[i]->Owns(focused) : controls_[i] == focused;
    if (owns) return &form::kControls[i];
  }
  return nullptr;
}

void TMainForm::EnableControl(const form::Control& row, bool enabled) {
  const auto index = static_cast<std::size_t>(&row - form::kControls);
  if (fields_by_row_[index] != nullptr) return fields_by_row_[index]->Enable(enabled);
  EnableWindow(controls_[index], enabled);
}

// The reasons reach screen readers once the window is active: the library that tells them is not
// loaded before the first frame.
void TMainForm::ShowEncodeHint(const std::string& hint, const std::string& reasons) {
  hints_->Change(Control(kEncode), hint);
  encode_reasons_ = reasons;
  if (form_.Activated()) DescribeForScreenReaders(Control(kEncode), reasons);
}

void TMainForm::ShowPreview(const std::string& text) {
  jvtParams->Show(text);
}

void TMainForm::ShowBusy(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void TMainForm::Restore() {
  ShowWindow(window_, SW_RESTORE);
  SetForegroundWindow(window_);
}

int TMainForm::WaitWithoutInput(const std::function<int(const form::WindowPlatform::Pump&)>& work) {
  return win32::WaitWithoutInput(window_, work);
}

}  // namespace korvu::app::win32
