// Korvu: a window that builds the encoder's command line from a job's values and runs a two-pass
// encode. The program reads no command-line arguments and saves nothing on exit.

#include <windows.h>
// after windows.h, which they build on
#include <commctrl.h>

#include <cstdlib>

#include "app/form/guard.h"
#include "app/win32/dm.h"
#include "app/win32/error_box.h"
#include "app/win32/main_form.h"
#include "app/win32/quit_after_first_paint.h"
#include "job/job.h"
#include "platform/executable_path.h"
#include "platform/file_system.h"
#include "platform/processor_count.h"
#include "platform/registry.h"
#include "platform/win32/exec_and_wait_pumped.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_mode) {
  using namespace korvu;
  const int processor_count = platform::ProcessorCount();

  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  const job::PathRules rules(job::NativePathStyle(), platform::RealFileSystem());
  job::Job job(rules);
  app::win32::TMainForm window(
      job, {platform::UserRegistry(), platform::ExecutablePath(), platform::ExecAndWaitPumped});
  // Every error box belongs to the window, also one raised before the window is active.
  app::SetErrorReport([&window](const std::string& message) {
    app::win32::ShowErrorBox(message, window.Handle());
  });
  app::win32::TDM dm(processor_count, window.Handle());
  window.SetDataModule(dm);
  if (std::getenv("KORVU_QUIT_AFTER_FIRST_PAINT") != nullptr)
    app::win32::QuitAfterFirstPaint(window.Handle());
  ShowWindow(window.Handle(), show_mode);
  UpdateWindow(window.Handle());

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    window.Relay(message);
    // The dialog manager moves the focus with Tab and the arrow keys between the controls.
    if (IsDialogMessageA(window.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
