#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "job/job.h"
#include "job/path_rules.h"
#include "platform/exec_and_wait.h"

namespace korvu::job {

// The one job script of an installation: the executable's full path with the extension ".bat".
std::string ScriptPath(std::string_view executable_path, PathStyle style);

// The seven lines of the two-pass script, each ended by CR LF: pass 1, a jump past pass 2 when
// pass 1 failed, pass 2, the bell and a pause. The encoder's text goes in through QuotePath, so a
// path with a blank starts as one program; every '%' of the encoder and `params` is doubled,
// because the command interpreter expands '%' inside a script. The lines are in the code page the
// interpreter reads a script in (platform::ToScriptCodePage). An encoder text or `params` holding
// a CR, LF or NUL, or a character that code page lacks, is refused with
// Error("Ungültiger Dateiname - TEXT"): a line break would end the line and run what follows as a
// command, a missing character would name another file.
std::array<std::string, 7> ScriptLines(std::string_view encoder_text, std::string_view params);
std::string ScriptText(std::string_view encoder_text, std::string_view params);

// Writes the script to `path`, replacing any file of that name, through a buffer of 128 bytes that
// goes to the file when full and at the close. The create, every line and the close are checked;
// the first that fails raises InOutError with its code, and nothing after it is written. A text
// that ScriptLines refuses is refused before the file is touched.
void WriteJobScript(const std::string& path, std::string_view encoder_text,
                    std::string_view params);

// What the window does while its job is encoded.
struct EncodeHooks {
  std::function<void()> disable_encode;
  std::function<void()> minimize;
  // Runs the command line in a console of its own and waits for its end (RunInNewConsole).
  std::function<platform::ExecResult(const std::string& command_line, std::uint16_t show_mode)>
      exec_and_wait;
  std::function<void()> restore;
};

// Why a job script cannot be written while another run of the installation holds it: Windows' own
// words for a sharing violation, on every platform alike. The message is kCannotCreate
// (settings_file.h) with the script's full path and this reason.
inline constexpr std::string_view kScriptInUse =
    "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet "
    "wird";

// The click on "Encode": writes the job script next to the executable from the encoder's text and
// the parameter line as last built (not rebuilt here), then disables "Encode", minimises the
// window, runs the script and waits, restores the window and rebuilds the parameter line. The
// script is held (platform/script_hold.h) from before its write until the console has ended, so
// that a second run of the same installation neither rewrites it nor shares its statistics file:
// while another run holds it, Error(kCannotCreate: the script's full path, kScriptInUse) leaves at
// once, and the script is not touched. When the script cannot be written, the InOutError leaves
// at once: nothing is disabled and nothing runs. So does the Error for a path or free text of the
// job that ScriptLines would refuse, which names that text; the script file is not touched then.
// When no console could be started, the window is restored and the parameter line rebuilt as after
// a run, and then Error(the reason) leaves. The script's exit code is not examined.
void RunEncode(Job& job, std::string_view executable_path, const EncodeHooks& hooks);

}  // namespace korvu::job
