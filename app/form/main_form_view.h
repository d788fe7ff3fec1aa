#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/form/window_description.h"
#include "platform/exec_and_wait.h"
#include "platform/registry.h"

namespace korvu::form {

// What the window takes from the system; tests give it their own.
struct WindowPlatform {
  // Called while a console runs, whenever the window's own messages wait to be handled; a front
  // end that waits on another thread has none to handle and passes an empty one.
  using Pump = std::function<void()>;

  const platform::Registry& registry;
  std::string executable_path;  // names the job script and the default settings file
  // Runs a command line in a console of its own and waits for its end
  // (platform::RunInNewConsole).
  std::function<platform::ExecResult(const std::string& command_line, std::uint16_t show_mode,
                                     const Pump& pump)>
      exec_and_wait;
  // Read at the first activation while the default settings file does not exist; empty: none
  // (see job::StartupPlatform).
  std::string fallback_settings_path = {};
  // Said once at the first activation, before its work: why the program does not keep its files
  // where it would (platform::ProgramHome::problem). Empty: nothing to say.
  std::string startup_problem = {};
};

// The data module: the processor count read once at start-up and the two settings-file dialogs,
// each offering the file last confirmed in it. It is made after the window.
class DataModule {
 public:
  virtual ~DataModule() = default;

  virtual int ProcessorCount() const = 0;
  // Shows "Load settings" (the file must exist) or "Save settings" (replacing a file asks first)
  // and returns the full name confirmed; nothing when the user cancels.
  virtual std::optional<std::string> ChooseLoad() = 0;
  virtual std::optional<std::string> ChooseSave() = 0;
};

// What a window shows and does for the main form's behaviour; each front end has one. Controls
// are named by their rows in kControls.
class MainFormView {
 public:
  virtual ~MainFormView() = default;

  // Puts the focus on the control of `row` when it can take it (it is enabled).
  virtual void FocusControl(const Control& row) = 0;
  // The control that has the focus; null when none of the window's has.
  virtual const Control* FocusedControl() const = 0;
  // The control and every part of it (a browse button, an arrow strip).
  virtual void EnableControl(const Control& row, bool enabled) = 0;
  // The hint of "Encode" and, for screen readers, why it is off (empty when it is on); both with
  // CR LF line ends.
  virtual void ShowEncodeHint(const std::string& hint, const std::string& reasons) = 0;
  // The preview's text; the same text again keeps the user's selection in it.
  virtual void ShowPreview(const std::string& text) = 0;
  // The busy pointer over the window while a console runs.
  virtual void ShowBusy(bool busy) = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;  // shown normally again and brought to the front
  virtual void Hide() = 0;
  virtual void Close() = 0;  // the window goes, and the program ends with it
  // Runs `work` while the window keeps painting but drops what is typed or clicked into it.
  virtual int WaitWithoutInput(const std::function<int(const WindowPlatform::Pump&)>& work) = 0;
};

}  // namespace korvu::form
