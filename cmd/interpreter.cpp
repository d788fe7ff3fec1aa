#include "cmd/interpreter.h"

#include <optional>
#include <utility>

#include "cmd/ascii.h"
#include "cmd/line_text.h"

namespace korvu::cmd {
namespace {

// The label a line defines (":name", after any blanks), or nothing when it is no label line.
std::optional<std::string_view> LabelOf(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty() || line.front() != ':') return std::nullopt;
  line.remove_prefix(1);
  std::size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return line.substr(0, end);
}

// Drops leading blanks and '@' signs; `quiet` tells whether there was an '@'.
std::string_view StripEchoMark(std::string_view line, bool& quiet) {
  quiet = false;
  while (!line.empty() && (IsBlank(line.front()) || line.front() == '@')) {
    quiet = quiet || line.front() == '@';
    line.remove_prefix(1);
  }
  return line;
}

}  // namespace

Interpreter::Interpreter(Host& host, std::vector<std::string> lines,
                         std::vector<std::string> arguments)
    : host_(host), lines_(std::move(lines)), arguments_(std::move(arguments)) {}

int Interpreter::Run() {
  while (next_line_ < lines_.size()) RunLine(lines_[next_line_++]);
  return errorlevel_;
}

void Interpreter::RunLine(std::string_view line) {
  if (LabelOf(line)) return;
  const std::string expanded = ExpandPercents(
      line, [this](std::string_view name) { return host_.Variable(name); }, arguments_);
  bool quiet = false;
  const std::string_view command = StripEchoMark(expanded, quiet);
  if (command.empty()) return;
  if (echo_on_ && !quiet) EchoCommand(command);
  if (IsRemark(command)) return;
  const ResolvedLine resolved = ResolveEscapes(command);
  if (resolved.unquoted_operator) {
    host_.WriteError(std::string("korvu-cmd: '") + *resolved.unquoted_operator +
                     "' outside quotes (command chaining, pipes, redirection) is not supported;"
                     " the line was not run: " +
                     std::string(command) + "\n");
    errorlevel_ = 1;
    return;
  }
  Execute(ParseStatement(resolved.text));
}

void Interpreter::Execute(const Statement& statement) {
  std::visit([this](const auto& alternative) { Execute(alternative); }, statement);
}

void Interpreter::Execute(const Echo& echo) {
  host_.Write(echo.text + "\n");
}

void Interpreter::Execute(const EchoSwitch& echo_switch) {
  echo_on_ = echo_switch.on;
}

void Interpreter::Execute(const EchoQuery&) {
  host_.Write(echo_on_ ? "ECHO is on.\n" : "ECHO is off.\n");
}

void Interpreter::Execute(const Pause&) {
  host_.Pause();
}

void Interpreter::Execute(const Nothing&) {}

void Interpreter::Execute(const Goto& jump) {
  if (jump.label.empty()) {
    host_.WriteError("No batch label specified to GOTO command.\n");
    errorlevel_ = 1;
    next_line_ = lines_.size();
  } else if (EqualsIgnoringCase(jump.label, "eof")) {
    next_line_ = lines_.size();
  } else if (const auto target = FindLabel(jump.label)) {
    next_line_ = *target;
  } else {
    host_.WriteError("The system cannot find the batch label specified - " + jump.label + "\n");
    errorlevel_ = 1;
    next_line_ = lines_.size();
  }
}

void Interpreter::Execute(const IfErrorLevel& condition) {
  if ((errorlevel_ >= condition.level) != condition.negated)
    Execute(ParseStatement(condition.command));
}

void Interpreter::Execute(const Unsupported& unsupported) {
  host_.WriteError("korvu-cmd: " + unsupported.what + " is not supported; the line was not run.\n");
  errorlevel_ = 1;
}

void Interpreter::Execute(const RunProgram& run) {
  errorlevel_ = host_.RunProgram(run.command_line);
}

void Interpreter::EchoCommand(std::string_view command) {
  host_.Write("\n" + host_.CurrentFolder() + ">" + std::string(command) + "\n");
}

std::optional<std::size_t> Interpreter::FindLabel(std::string_view label) const {
  const auto matches = [&](std::size_t index) {
    const auto defined = LabelOf(lines_[index]);
    return defined && EqualsIgnoringCase(*defined, label);
  };
  for (std::size_t i = next_line_; i < lines_.size(); ++i)
    if (matches(i)) return i + 1;
  for (std::size_t i = 0; i < next_line_ && i < lines_.size(); ++i)
    if (matches(i)) return i + 1;
  return std::nullopt;
}

}  // namespace korvu::cmd
