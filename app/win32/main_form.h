#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/form/main_form.h"
#include "app/form/main_form_view.h"
#include "app/form/window_description.h"
#include "app/win32/controls.h"
#include "app/win32/fields/field.h"
#include "app/win32/hints.h"
#include "app/win32/window_font.h"
#include "app/win32/window_style.h"
#include "job/job.h"

namespace korvu::app::win32 {

class TDM;
class PreviewBox;

// The program's only window on the native controls: one field per value of the job, the settings
// buttons, "Encode" and the preview of the encoder's command line, built from the window's
// description. What the window does is form::MainForm's; this shows it and forwards the window's
// messages.
class TMainForm : private form::MainFormView {
 public:
  // `job` outlives the window.
  TMainForm(job::Job& job, form::WindowPlatform platform);
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  HWND Handle() const { return window_; }
  // The data module, created after the window; it must be there before the window is shown.
  void SetDataModule(TDM& dm);
  // A message from the program's message loop, before it is dispatched.
  void Relay(const MSG& message) const { hints_->Relay(message); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Message(UINT message, WPARAM wparam, LPARAM lparam);

  void createControls();
  void createControl(const form::Control& row, const Rect& box);
  std::unique_ptr<Field> createField(const form::Control& row, const Rect& box);
  HWND createButton(const form::Control& row, const Rect& box);
  void createLabel(const form::Label& label);
  HWND Control(const form::Control& row) const;
  void Command(HWND from, WORD code);
  void Activate(bool active);
  // The activation's work runs outside the message that asked for it, after the window has been
  // painted: the window is seen before any error box.
  void ScheduleActivation() {
    if (form_.RequestActivation()) SetTimer(window_, 1, 0, nullptr);
  }
  void SetPictures();

  // What the behaviour shows through this window.
  void FocusControl(const form::Control& row) override;
  const form::Control* FocusedControl() const override;
  void EnableControl(const form::Control& row, bool enabled) override;
  void ShowEncodeHint(const std::string& hint, const std::string& reasons) override;
  void ShowPreview(const std::string& text) override;
  void ShowBusy(bool busy) override;
  void Minimize() override { ShowWindow(window_, SW_MINIMIZE); }
  void Restore() override;
  void Hide() override { ShowWindow(window_, SW_HIDE); }
  void Close() override { DestroyWindow(window_); }
  int WaitWithoutInput(const std::function<int(const form::WindowPlatform::Pump&)>& work) override;

  job::Job& job_;
  WindowFonts fonts_;
  HWND window_ = nullptr;
  std::unique_ptr<Hints> hints_;
  WindowStyle style_;

  // Every control, as the description lists them, and its field (none for a button).
  std::array<HWND, std::size(form::kControls)> controls_{};
  std::array<Field*, std::size(form::kControls)> fields_by_row_{};
  std::vector<std::unique_ptr<Field>> fields_;
  PreviewBox* jvtParams = nullptr;

  HWND focus_ = nullptr;  // the control that had the focus when the window was last left
  bool busy_ = false;
  std::string encode_reasons_;  // why Encode is disabled, for screen readers
  form::MainForm form_;
};

}  // namespace korvu::app::win32
