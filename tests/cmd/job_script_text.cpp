#include "tests/cmd/job_script_text.h"

namespace korvu::test {
namespace {

std::string DoublePercents(const std::string& text) {
  std::string doubled;
  for (const char c : text) doubled += c == '%' ? std::string("%%") : std::string(1, c);
  return doubled;
}

}  // namespace

std::string QuoteForScript(const std::string& text) {
  if (text.find_first_of(" &|<>^") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string JobScript(const std::string& encoder, const std::string& params) {
  const auto pass_line = [&](const char* pass) {
    return DoublePercents(QuoteForScript(encoder) + " -npass " + pass + params);
  };
  return "@ECHO OFF\r\n" + pass_line("1") + "\r\nIF ERRORLEVEL 1 GOTO End\r\n" + pass_line("2") +
         "\r\n:End\r\nECHO \a\r\nPAUSE\r\n";
}

}  // namespace korvu::test
