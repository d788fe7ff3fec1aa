#include "app/form/main_form.h"

#include <utility>
#include <vector>

#include "app/form/guard.h"
#include "job/first_activation.h"
#include "job/job_script.h"
#include "job/settings_file.h"

namespace korvu::form {
namespace {

const Control& kEncode = ControlNamed("jvbEncode");

// An error that a settings load meets and goes on past reaches the same report as one that
// leaves a handler.
void ReportAndGoOn(const job::Error& error) {
  app::Report(error.what());
}

}  // namespace

MainForm::MainForm(job::Job& job, WindowPlatform platform, MainFormView& view)
    : job_(job), platform_(std::move(platform)), view_(view), encode_hint_(kEncode.hint) {
  job_.OnParamsUpdated([this] { ShowParams(); });
}

// The job outlives the window: a rebuild after this must not reach it.
MainForm::~MainForm() {
  job_.OnParamsUpdated(nullptr);
}

bool MainForm::RequestActivation() {
  if (activation_requested_) return false;
  activation_requested_ = true;
  return true;
}

void MainForm::Activate() {
  activated_ = true;
  app::Guarded([this] { FormActivate(); });
}

void MainForm::Click(const Control& button) {
  app::Guarded([&] {
    if (button.name == "jvbLoadIni") return jvbLoadIniClick();
    if (button.name == "jvbSaveIni") return jvbSaveIniClick();
    if (button.name == "jvbEncode") return jvbEncodeClick();
  });
}

bool MainForm::CloseQuery() {
  if (!job_running_) return true;
  close_requested_ = true;
  view_.Hide();
  return false;
}

void MainForm::FormCreate() {
  FFirstActivate = true;
}

void MainForm::FormActivate() {
  if (FFirstActivate) {
    if (!platform_.startup_problem.empty())
      app::Report(std::exchange(platform_.startup_problem, {}));
    const job::FocusTarget focus =
        job::FirstActivation(job_,
                             {platform_.registry, dm_->ProcessorCount(), platform_.executable_path,
                              platform_.fallback_settings_path},
                             ReportAndGoOn);
    view_.FocusControl(ControlNamed(focus == job::FocusTarget::kInput ? "jveInput" : "jveEncoder"));
    FFirstActivate = false;
  }
  job_.UpdateParams();
}

void MainForm::ShowParams() {
  const bool ready = job_.EncodeEnabled();
  view_.EnableControl(kEncode, ready);
  // A disabled "Encode" says why, in its hint and to screen readers.
  const auto reasons =
      ready ? std::vector<job::NotReadyReason>() : job::NotReadyReasons(job_.Settings());
  // Shown only when it changes: this runs on every keystroke.
  if (std::string hint = EncodeHint(reasons); hint != encode_hint_) {
    encode_hint_ = std::move(hint);
    view_.ShowEncodeHint(encode_hint_, NotReadyText(reasons));
  }
  view_.ShowPreview(job_.Preview());
}

void MainForm::jvbLoadIniClick() {
  if (const auto path = dm_->ChooseLoad()) job::LoadSettings(job_, *path, ReportAndGoOn);
}

void MainForm::jvbSaveIniClick() {
  const auto path = dm_->ChooseSave();
  if (!path) return;
  // The default settings file in the program's folder is written in its place, never through a
  // symbolic link; any other file as the user named it.
  const bool own =
      *path == job::DefaultSettingsPath(platform_.executable_path, job_.Settings().Rules().Style());
  job::SaveSettings(job_, *path, own ? platform::Links::kRefuse : platform::Links::kFollow);
}

void MainForm::jvbEncodeClick() {
  // The run disables the control that has the focus ("Encode" itself); it comes back there.
  const Control* focused = view_.FocusedControl();
  bool ran = false;
  const job::EncodeHooks hooks{
      .disable_encode = [this] { view_.EnableControl(kEncode, false); },
      .minimize = [this] { view_.Minimize(); },
      .exec_and_wait =
          [this, &ran](const std::string& line, std::uint16_t mode) {
            ran = true;
            return WaitForConsole(line, mode);
          },
      .restore =
          [this] {
            if (!close_requested_) view_.Restore();  // a window closed meanwhile stays gone
          },
  };
  // Also when the console could not start, whose error then leaves.
  const auto after_run = [&] {
    if (close_requested_) return view_.Close();
    if (focused != nullptr) view_.FocusControl(*focused);
  };
  try {
    job::RunEncode(job_, platform_.executable_path, hooks);
  } catch (...) {
    if (ran) after_run();
    throw;
  }
  after_run();
}

// While the console runs, the window shows that it takes no input: every control that would take
// some is disabled and the pointer is busy over it. The preview stays readable.
platform::ExecResult MainForm::WaitForConsole(const std::string& command_line,
                                              std::uint16_t show_mode) {
  job_running_ = true;
  ShowRunning(true);
  platform::ExecResult result;
  // The work may run on another thread; the result is read after it has ended.
  view_.WaitWithoutInput([&](const WindowPlatform::Pump& pump) {
    result = platform_.exec_and_wait(command_line, show_mode, pump);
    return result.exit_code;
  });
  ShowRunning(false);
  job_running_ = false;
  return result;
}

void MainForm::ShowRunning(bool running) {
  for (const Control& row : kControls) {
    // "Encode" is the job's to enable again, by its rebuild after the run.
    if (row.kind != Kind::kPreview && (running || &row != &kEncode))
      view_.EnableControl(row, !running);
  }
  view_.ShowBusy(running);
}

}  // namespace korvu::form
