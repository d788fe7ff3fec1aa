#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "app/form/main_form.h"
#include "app/form/main_form_view.h"
#include "app/form/window_description.h"
#include "job/job.h"

namespace korvu::app {

class TDM;

// The program's only window on Qt: one field per value of the job, the settings buttons, "Encode"
// and the preview of the encoder's command line, built from the window's description. What the
// window does is form::MainForm's; this shows it and forwards the window's events.
class TMainForm : public QWidget, private form::MainFormView {
  Q_OBJECT

 public:
  // `job` outlives the window.
  TMainForm(job::Job& job, form::WindowPlatform platform, QWidget* parent = nullptr);

  // The data module, created after the window; it must be there before the window is shown.
  void SetDataModule(TDM& dm);

  // Whether the activation event has been raised (it is raised once per run).
  bool Activated() const { return form_.Activated(); }

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
  QWidget* Control(const form::Control& row) const;
  void ScheduleActivation();

  // What the behaviour shows through this window.
  void FocusControl(const form::Control& row) override;
  const form::Control* FocusedControl() const override;
  void EnableControl(const form::Control& row, bool enabled) override;
  void ShowEncodeHint(const std::string& hint, const std::string& reasons) override;
  void ShowPreview(const std::string& text) override;
  void ShowBusy(bool busy) override;
  void Minimize() override;
  void Restore() override;
  void Hide() override { hide(); }
  void Close() override;
  int WaitWithoutInput(const std::function<int(const form::WindowPlatform::Pump&)>& work) override;

  job::Job& job_;
  // Every control, as kControls lists them.
  std::array<QWidget*, std::size(form::kControls)> controls_{};
  form::MainForm form_;
};

}  // namespace korvu::app
