#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/form/main_form.h"
#include "job/job.h"
#include "platform/registry.h"

class QPushButton;

namespace korvu::app {

class PreviewBox;
class TDM;

// What the window takes from the system; tests give it their own.
struct WindowPlatform {
  const platform::Registry& registry;
  std::string executable_path;  // names the job script and the default settings file
  // Runs a command line in a console of its own and waits for its end (platform::ExecAndWait).
  std::function<int(const std::string& command_line, std::uint16_t show_mode)> exec_and_wait;
};

// The program's only window: one field per value of the job, the settings buttons, "Encode" and
// the preview of the encoder's command line. It holds no job logic: the fields are views of the
// job's values, and each button is one call into the job.
class TMainForm : public QWidget {
  Q_OBJECT

 public:
  // `job` outlives the window.
  TMainForm(job::Job& job, WindowPlatform platform, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The data module, created after the window; it must be there before the window is shown.
  void SetDataModule(TDM& dm) { dm_ = &dm; }

  // Whether the activation event has been raised (it is raised once per run).
  bool Activated() const { return activated_; }

  // The handlers of the buttons, as a click runs them.
  void jvbLoadIniClick();
  void jvbSaveIniClick();
  void jvbEncodeClick();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  QWidget* createControl(const form::Control& row);
  QWidget* createButton(const form::Control& row);
  QWidget* createPreview();
  void createLabel(const form::Label& label, QWidget* field);
  void wire();
  template <typename Widget>
  Widget* control(std::string_view name) const;

  void FormCreate();
  void ScheduleActivation();
  void RaiseActivation();
  void FormActivate();
  void ShowParams();
  int WaitForConsole(const std::string& command_line, std::uint16_t show_mode);
  void ShowRunning(bool running);

  job::Job& job_;
  WindowPlatform platform_;
  TDM* dm_ = nullptr;

  // Every control, as kControls lists them; the handlers keep their own few below.
  std::array<QWidget*, std::size(form::kControls)> controls_{};
  QWidget* jveEncoder = nullptr;
  QWidget* jveInput = nullptr;
  QPushButton* jvbLoadIni = nullptr;
  QPushButton* jvbSaveIni = nullptr;
  QPushButton* jvbEncode = nullptr;
  PreviewBox* jvtParams = nullptr;

  bool FFirstActivate = false;
  bool activated_ = false;
  bool activation_due_ = false;  // the first paint or activation has asked for it
  bool job_running_ = false;
  bool close_requested_ = false;  // during a job run, carried out after it
};

}  // namespace korvu::app
