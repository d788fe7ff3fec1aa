#pragma once

#include <string>

#include "app/form/main_form_view.h"
#include "app/form/window_description.h"
#include "job/job.h"

namespace korvu::form {

// The window's behaviour, once for every front end: its first activation, what a rebuild of the
// parameter line shows, the three buttons, the run with its close latch, and where the focus goes.
// A front end builds the controls from kControls, shows what this asks of its view and forwards
// the window's events here; the fields bind to the job's values themselves.
class MainForm {
 public:
  // `job` and `view` outlive the form.
  MainForm(job::Job& job, WindowPlatform platform, MainFormView& view);
  ~MainForm();
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // The data module, made after the window; it must be there before the first activation.
  void SetDataModule(DataModule& dm) { dm_ = &dm; }

  // The window's events, each through the one guard that reports an escaping error.
  //  - The first paint or activation asks for the activation; true the first time only: the front
  //    end then raises Activate once the asking event is over, so the window is seen before any
  //    error box.
  bool RequestActivation();
  void Activate();
  bool Activated() const { return activated_; }
  void Click(const Control& button);  // jvbLoadIni, jvbSaveIni or jvbEncode
  // Whether the window may close now. During a run it hides at once instead and closes when the
  // run has ended, so that the script runs to its end.
  bool CloseQuery();

  // The handlers, as the events above run them; each may raise.
  void FormCreate();
  void FormActivate();
  void jvbLoadIniClick();
  void jvbSaveIniClick();
  void jvbEncodeClick();

 private:
  void ShowParams();
  platform::ExecResult WaitForConsole(const std::string& command_line, std::uint16_t show_mode);
  void ShowRunning(bool running);

  job::Job& job_;
  WindowPlatform platform_;
  MainFormView& view_;
  DataModule* dm_ = nullptr;
  std::string encode_hint_;

  bool FFirstActivate = false;
  bool activation_requested_ = false;
  bool activated_ = false;
  bool job_running_ = false;
  bool close_requested_ = false;  // during a job run, carried out after it
};

}  // namespace korvu::form
