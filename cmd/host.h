#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvu::cmd {

// What the interpreter needs from the world around it.
class Host {
 public:
  virtual ~Host() = default;

  // The value of an environment variable, or nothing when it is not set.
  virtual std::optional<std::string> Variable(std::string_view name) = 0;
  // Standard output and standard error, as bytes.
  virtual void Write(std::string_view text) = 0;
  virtual void WriteError(std::string_view text) = 0;
  // The folder that command-line echo shows in its prompt.
  virtual std::string CurrentFolder() = 0;
  // Shows the pause prompt and waits for one key.
  virtual void Pause() = 0;
  // Runs the program of a command line (program word and arguments by the Windows rules) and
  // waits for it; returns the new ERRORLEVEL. Reports its own failures on standard error.
  virtual int RunProgram(std::string_view command_line) = 0;
};

}  // namespace korvu::cmd
