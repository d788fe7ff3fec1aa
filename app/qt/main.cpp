// Korvu: a window that builds the encoder's command line from a job's values and runs a two-pass
// encode. Of its arguments it knows --help and --version, answered in the terminal; the window
// saves nothing on exit.

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/form/command_line.h"
#include "app/form/guard.h"
#include "app/qt/dm.h"
#include "app/qt/error_box.h"
#include "app/qt/main_form.h"
#include "app/qt/quit_after_first_paint.h"
#include "app/qt/start_messages.h"
#include "app/qt/window_style.h"
#include "job/job.h"
#include "job/settings_file.h"
#include "platform/exec_and_wait.h"
#include "platform/executable_path.h"
#include "platform/file_system.h"
#include "platform/processor_count.h"
#include "platform/program_home.h"
#include "platform/registry.h"

int main(int argc, char** argv) {
  using namespace korvu;
  // Before anything is made, the user's folder too: a terminal's question, or no display named.
  const app::DisplayEnvironment display{std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                        std::getenv("QT_QPA_PLATFORM")};
  if (const auto answer = app::AnswerWithoutWindow(std::vector<std::string>(argv + 1, argv + argc),
                                                   display, KORVU_VERSION)) {
    std::FILE* stream = answer->to_standard_error ? stderr : stdout;
    std::fputs(answer->text.c_str(), stream);
    // An answer that did not arrive (a full disk, a closed pipe) is no success.
    return std::fflush(stream) == 0 && !std::ferror(stream) ? answer->exit_status : 1;
  }
  // A display that cannot be opened ends the start here, before the user's folder is made.
  int qt_argc = 1;  // Qt sees no arguments either
  std::optional<app::HeldStartMessages> start_messages(std::in_place,
                                                       app::DisplayFailureLine(display));
  QApplication application(qt_argc, argv);
  start_messages.reset();

  const int processor_count = platform::ProcessorCount();
  // Before anything names a file: a system-wide install works in a folder of the user's.
  const platform::ProgramHome home = platform::EnterProgramHome(platform::ExecutablePath());
  const std::string fallback_settings =
      home.fallback_program_path.empty()
          ? std::string()
          : job::DefaultSettingsPath(home.fallback_program_path, job::NativePathStyle());

  // The title goes into the window's caption and the error box's, not into the display name,
  // which Qt would append to the caption of every other window ("Load settings — Korvu - ...").
  // The desktop ties the window to its menu entry by the window's class on X11 (Qt takes it from
  // the application name, by default the name the program was started under: "korvu" through the
  // installed link) and by the app id on Wayland.
  QApplication::setApplicationName(QStringLiteral("Korvu"));
  QGuiApplication::setDesktopFileName(QStringLiteral(KORVU_APP_ID));
  QApplication::setStyle(new app::WindowStyle);  // the application owns it

  const job::PathRules rules(job::NativePathStyle(), platform::RealFileSystem());
  job::Job job(rules);
  app::TMainForm form(job, {platform::UserRegistry(), home.program_path,
                            [](const std::string& line, std::uint16_t mode, const auto&) {
                              return platform::RunInNewConsole(line, mode);  // on a thread
                            },
                            fallback_settings, home.problem});
  // Every error box belongs to the window, also one raised before the window is active.
  app::SetErrorReport([&form](const std::string& message) { app::ShowErrorBox(message, &form); });
  app::TDM dm(processor_count, &form);
  form.SetDataModule(dm);

  app::QuitAfterFirstPaint quit;
  if (qEnvironmentVariableIsSet("KORVU_QUIT_AFTER_FIRST_PAINT")) form.installEventFilter(&quit);
  form.show();
  QApplication::exec();
  return 0;
}
