// korvu-win32-job-probe: what Korvu.exe computes for a job, told by the job core itself, so that
// the end-to-end test of the window compares with it instead of with retyped strings.
//   korvu-win32-job-probe EXE STEP...
// starts the job the way the window's first activation does for an executable at EXE (the
// registry, the processor count, EXE's settings file), then runs the steps in order:
//   input TEXT      the input field's text becomes TEXT (the output follows)
//   bitrate TEXT    the bitrate as typed
//   load FILE       "Load settings" with FILE
//   save FILE       "Save settings" with FILE
//   script FILE     the job script that "Encode" writes, into FILE
//   encode EXE      "Encode" for the program at EXE: its script written and held, no console
//   preview         prints the preview (its bytes, no line end)
// Errors go to standard error as the error box would show them; the exit status is 1 then.
//   korvu-win32-job-probe box CAPTION
// prints what the shown message box titled CAPTION holds, a line each: "text:" and its text,
// "icon:LEFT TOP WIDTH HEIGHT" where its icon is on the screen, "button:" and each button's
// caption.
//   korvu-win32-job-probe tip
// prints the text of the tool tip shown now, its lines as lines; the exit status is 1 if none is.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h, which it builds on
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "job/error.h"
#include "job/first_activation.h"
#include "job/job.h"
#include "job/job_script.h"
#include "job/settings_file.h"
#include "platform/file_system.h"
#include "platform/processor_count.h"
#include "platform/registry.h"

namespace {

std::string WindowText(HWND window) {
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

struct BoxParts {
  std::string text, icon, buttons;
};

BOOL CALLBACK CollectBoxPart(HWND part, LPARAM parts_address) {
  auto& parts = *reinterpret_cast<BoxParts*>(parts_address);
  char kind[32] = {};
  GetClassNameA(part, kind, sizeof kind);
  if (lstrcmpiA(kind, "Button") == 0) {
    parts.buttons += "button:" + WindowText(part) + "\n";
  } else if (lstrcmpiA(kind, "Static") == 0 &&
             (GetWindowLongA(part, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    RECT box;
    GetWindowRect(part, &box);
    parts.icon = "icon:" + std::to_string(box.left) + " " + std::to_string(box.top) + " " +
                 std::to_string(box.right - box.left) + " " + std::to_string(box.bottom - box.top) +
                 "\n";
  } else if (lstrcmpiA(kind, "Static") == 0 && !WindowText(part).empty()) {
    parts.text = "text:" + WindowText(part) + "\n";
  }
  return TRUE;
}

// Prints the parts of the message box titled `caption`: its text, its icon's place, its buttons.
int PrintBox(const char* caption) {
  const HWND box = FindWindowA("#32770", caption);
  if (box == nullptr) return 1;
  BoxParts parts;
  EnumChildWindows(box, CollectBoxPart, reinterpret_cast<LPARAM>(&parts));
  std::fputs((parts.text + parts.icon + parts.buttons).c_str(), stdout);
  return 0;
}

// Prints the text of the shown tool tip, if a tool tip is shown.
int PrintTip() {
  HWND shown = nullptr;
  EnumWindows(
      [](HWND window, LPARAM found) {
        char kind[32] = {};
        GetClassNameA(window, kind, sizeof kind);
        if (lstrcmpiA(kind, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&shown));
  if (shown == nullptr) return 1;
  std::string text = WindowText(shown);
  for (std::size_t at; (at = text.find('\r')) != std::string::npos;) text.erase(at, 1);
  std::puts(text.c_str());
  return 0;
}

void RunStep(korvu::job::Job& job, const std::string& step, const std::string& argument,
             const korvu::job::ErrorReport& report) {
  using namespace korvu;
  job::JobSettings& settings = job.Settings();
  if (step == "input")
    settings.Input.SetText(argument);
  else if (step == "bitrate")
    settings.Bitrate.SetText(argument);
  else if (step == "load")
    job::LoadSettings(job, argument, report);
  else if (step == "save")
    job::SaveSettings(job, argument);
  else if (step == "script")
    job::WriteJobScript(argument, settings.Encoder.Text(), job.FParams());
  else if (step == "encode")
    job::RunEncode(job, argument,
                   {[] {}, [] {}, [](const std::string&, std::uint16_t) { return 0; }, [] {}});
  else
    throw job::Error("unknown step " + step);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvu;
  // Lines end in LF alone, as the test reads them.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  if (argc == 3 && std::strcmp(argv[1], "box") == 0) return PrintBox(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "tip") == 0) return PrintTip();
  if (argc < 2) {
    std::fputs("usage: korvu-win32-job-probe EXE STEP...\n", stderr);
    return 2;
  }
  const job::PathRules rules(job::NativePathStyle(), platform::RealFileSystem());
  job::Job job(rules);
  int status = 0;
  const job::ErrorReport report = [&status](const job::Error& error) {
    std::fprintf(stderr, "%s\n", job::ErrorBoxText(error.what()).c_str());
    status = 1;
  };
  try {
    job::FirstActivation(job, {platform::UserRegistry(), platform::ProcessorCount(), argv[1]},
                         report);
    job.UpdateParams();
    for (int i = 2; i < argc; ++i) {
      const std::string step = argv[i];
      if (step == "preview")
        std::fwrite(job.Preview().data(), 1, job.Preview().size(), stdout);
      else if (i + 1 < argc)
        RunStep(job, step, argv[++i], report);
      else
        throw job::Error("missing argument of " + step);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", job::ErrorBoxText(error.what()).c_str());
    return 1;
  }
  return status;
}
