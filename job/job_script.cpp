#include "job/job_script.h"

#include <array>
#include <cstring>

#include "job/in_out_error.h"
#include "job/settings_file.h"
#include "job/text_rules.h"
#include "platform/exec_and_wait.h"
#include "platform/file_io.h"
#include "platform/output_file.h"
#include "platform/script_code_page.h"
#include "platform/script_hold.h"

namespace korvu::job {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Lines into a file through a fixed buffer that goes out when full and at the close, in the
// manner of a classic runtime's text file: a failed write shows at the line that filled the buffer.
class BufferedLines {
 public:
  explicit BufferedLines(platform::OutputFile& file) : file_(file) {}

  int WriteLine(std::string_view line) {
    if (const int code = Put(line)) return code;
    return Put(kLineEnd);
  }
  int Close() {
    const int code = Flush();
    const int close_code = file_.Close();
    return code ? code : close_code;
  }

 private:
  int Put(std::string_view bytes) {
    while (!bytes.empty()) {
      const std::size_t room = std::min(buffer_.size() - used_, bytes.size());
      std::memcpy(buffer_.data() + used_, bytes.data(), room);
      used_ += room;
      bytes.remove_prefix(room);
      if (used_ == buffer_.size())
        if (const int code = Flush()) return code;
    }
    return 0;
  }
  int Flush() {
    const int code = used_ ? file_.Write(buffer_.data(), used_) : 0;
    used_ = 0;
    return code;
  }

  platform::OutputFile& file_;
  std::array<char, 128> buffer_{};
  std::size_t used_ = 0;
};

void Check(int code) {
  if (code != 0) throw InOutError(code);
}

// A CR, LF or NUL would end a script line early and make the rest a command of its own; a
// character the interpreter's code page lacks would name another file.
void CheckScriptText(std::string_view text) {
  RefuseLineBreaks(text);
  if (!platform::ToScriptCodePage(text)) throw Error(FormatText(kInvalidFileName, {text}));
}

Error ScriptInUse(const std::string& script) {
  return Error(FormatText(kCannotCreate, {platform::FullPath(script), kScriptInUse}));
}

std::string DoublePercent(std::string_view text) {
  std::string doubled;
  doubled.reserve(text.size());
  for (char c : text) {
    if (c == '%') doubled += '%';
    doubled += c;
  }
  return doubled;
}

std::string PassLine(std::string_view encoder_text, std::string_view pass,
                     std::string_view params) {
  std::string line = QuotePath(encoder_text);
  line += " -npass ";
  line += pass;
  line += params;
  // Both texts were checked, and what the line adds is ASCII.
  return *platform::ToScriptCodePage(DoublePercent(line));
}

}  // namespace

std::string ScriptPath(std::string_view executable_path, PathStyle style) {
  return ReplaceExtension(executable_path, ".bat", style);
}

std::array<std::string, 7> ScriptLines(std::string_view encoder_text, std::string_view params) {
  CheckScriptText(encoder_text);
  CheckScriptText(params);
  return {"@ECHO OFF",
          PassLine(encoder_text, "1", params),
          "IF ERRORLEVEL 1 GOTO End",
          PassLine(encoder_text, "2", params),
          ":End",
          "ECHO \a",
          "PAUSE"};
}

std::string ScriptText(std::string_view encoder_text, std::string_view params) {
  std::string text;
  for (const std::string& line : ScriptLines(encoder_text, params))
    text.append(line).append(kLineEnd);
  return text;
}

void WriteJobScript(const std::string& path, std::string_view encoder_text,
                    std::string_view params) {
  const auto lines = ScriptLines(encoder_text, params);
  platform::OutputFile file;
  Check(file.Create(path));
  BufferedLines out(file);
  for (const std::string& line : lines) Check(out.WriteLine(line));
  Check(out.Close());
}

void RunEncode(Job& job, std::string_view executable_path, const EncodeHooks& hooks) {
  // Checked here too, so that the message names the field's own text: every path and free text.
  for (const SettingsKey& key : kSettingsKeys)
    if (const auto* text = std::get_if<TextValue JobSettings::*>(&key.field))
      CheckScriptText((job.Settings().**text).Text());
  const std::string script = ScriptPath(executable_path, job.Settings().Rules().Style());
  // Held from before the write until the console has ended: no other run of this installation
  // rewrites the script while it is read, or runs beside this one on the same statistics.
  platform::ScriptHold hold;
  if (!hold.Take(script)) throw ScriptInUse(script);
  WriteJobScript(script, job.Settings().Encoder.Text(), job.FParams());
  if (!hold.Seal()) throw ScriptInUse(script);
  hooks.disable_encode();
  hooks.minimize();
  const platform::ExecResult run =
      hooks.exec_and_wait(platform::ScriptCommandLine(script), platform::kShowNormal);
  hold.Release();
  hooks.restore();
  job.UpdateParams();
  // A run that never started is no run: the user learns why, once the window is back.
  if (!run.failure.empty()) throw Error(run.failure);
}

}  // namespace korvu::job
