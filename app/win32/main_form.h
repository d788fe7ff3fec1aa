#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form/main_form.h"
#include "app/win32/controls.h"
#include "app/win32/fields/field.h"
#include "job/job.h"
#include "platform/registry.h"

namespace korvu::app::win32 {

class TDM;
class PreviewBox;

// What the window takes from the system.
struct WindowPlatform {
  const platform::Registry& registry;
  std::string executable_path;  // names the job script and the default settings file
  // Runs a command line in a console of its own and waits for its end, calling `pump` whenever
  // messages arrive meanwhile (platform::ExecAndWaitPumped).
  std::function<int(const std::string& command_line, std::uint16_t show_mode,
                    const std::function<void()>& pump)>
      exec_and_wait;
};

// The program's only window on the native controls: one field per value of the job, the settings
// buttons, "Encode" and the preview of the encoder's command line, built from the window's
// description. It holds no job logic: the fields are views of the job's values, and each button is
// one call into the job.
class TMainForm {
 public:
  // `job` and `dm` outlive the window.
  TMainForm(job::Job& job, WindowPlatform platform, TDM& dm);
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  HWND Handle() const { return window_; }
  // Ends the program right after the first frame has been painted (the start-up stopwatch).
  void QuitAfterFirstPaint() { quit_after_first_paint_ = true; }

  // The handlers of the buttons, as a click runs them.
  void jvbLoadIniClick();
  void jvbSaveIniClick();
  void jvbEncodeClick();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Message(UINT message, WPARAM wparam, LPARAM lparam);

  void createControls();
  void createControl(const form::Control& row, const Rect& box);
  HWND createButton(const form::Control& row, const Rect& box);
  void createLabel(const form::Label& label);
  void addHint(HWND control, const std::string& text);
  Rect Scaled(const form::Box& box) const;
  HFONT Font(int pixels);
  void Rescale(int dpi, const RECT& suggested);

  void Command(HWND from, WORD code);
  LRESULT ControlColour(HDC dc, HWND control);
  void Activate(bool active);
  void ScheduleActivation();
  void FormCreate();
  void FormActivate();
  void ShowParams();
  int WaitForConsole(const std::string& command_line, std::uint16_t show_mode);
  void PumpWithoutInput();
  void ShowRunning(bool running);
  void Close();

  job::Job& job_;
  WindowPlatform platform_;
  TDM& dm_;
  HWND window_ = nullptr;
  HWND tips_ = nullptr;
  int dpi_ = 96;
  std::vector<std::pair<int, HFONT>> fonts_;  // by height in pixels at 96 dots per inch

  // Every control, as the description lists them; a button or the preview has no field.
  std::array<HWND, std::size(form::kControls)> controls_{};
  std::vector<std::unique_ptr<Field>> fields_;
  std::vector<HWND> maroon_labels_;
  HWND jveEncoder = nullptr;
  HWND jveInput = nullptr;
  HWND jvbLoadIni = nullptr;
  HWND jvbSaveIni = nullptr;
  HWND jvbEncode = nullptr;
  PreviewBox* jvtParams = nullptr;
  std::string encode_hint_;

  HWND focus_ = nullptr;  // the control that had the focus when the window was last left
  bool FFirstActivate = false;
  bool activation_due_ = false;
  bool quit_after_first_paint_ = false;
  bool job_running_ = false;
  bool close_requested_ = false;  // during a job run, carried out after it
};

}  // namespace korvu::app::win32
