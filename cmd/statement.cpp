#include "cmd/statement.h"

#include <charconv>
#include <optional>
#include <string>

#include "cmd/ascii.h"

namespace korvu::cmd {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The text after `keyword` when `line` begins with it (in any case) and the keyword ends there:
// at the end of the line or at one of `ends`, which is left in front of the returned text.
std::optional<std::string_view> AfterKeyword(std::string_view line, std::string_view keyword,
                                             std::string_view ends) {
  if (line.size() < keyword.size() || !EqualsIgnoringCase(line.substr(0, keyword.size()), keyword))
    return std::nullopt;
  line.remove_prefix(keyword.size());
  if (!line.empty() && ends.find(line.front()) == std::string_view::npos) return std::nullopt;
  return line;
}

// Splits off the first blank-separated word; `text` keeps the rest after one separator.
std::string_view TakeWord(std::string_view& text) {
  text = TrimBlanks(text);
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end < text.size() ? end + 1 : end);
  return word;
}

Statement ParseEcho(std::string_view rest) {
  if (rest.empty()) return EchoQuery{};
  const bool blank_after_keyword = IsBlank(rest.front());
  rest.remove_prefix(1);
  if (!blank_after_keyword) return Echo{std::string(rest)};
  const std::string_view word = TrimBlanks(rest);
  if (word.empty()) return EchoQuery{};
  if (EqualsIgnoringCase(word, "on")) return EchoSwitch{true};
  if (EqualsIgnoringCase(word, "off")) return EchoSwitch{false};
  return Echo{std::string(rest)};
}

Statement ParseGoto(std::string_view rest) {
  rest = TrimBlanks(rest);
  if (!rest.empty() && rest.front() == ':') rest.remove_prefix(1);
  return Goto{std::string(TakeWord(rest))};
}

std::optional<long long> ParseLevel(std::string_view word) {
  long long level = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), level);
  if (word.empty() || error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return level;
}

Statement ParseIf(std::string_view rest) {
  std::string_view word = TakeWord(rest);
  const bool negated = EqualsIgnoringCase(word, "not");
  if (negated) word = TakeWord(rest);
  if (!EqualsIgnoringCase(word, "errorlevel"))
    return Unsupported{"IF without ERRORLEVEL (only IF [NOT] ERRORLEVEL n is supported)"};
  const std::optional<long long> level = ParseLevel(TakeWord(rest));
  const std::string_view command = TrimBlanks(rest);
  if (!level || command.empty()) return Unsupported{"IF ERRORLEVEL without a number and a command"};
  return IfErrorLevel{negated, *level, std::string(command)};
}

}  // namespace

Statement ParseStatement(std::string_view line) {
  // Only leading blanks go: ECHO writes trailing ones.
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty() || IsRemark(line)) return Nothing{};
  if (const auto rest = AfterKeyword(line, "echo", " \t.:(/,;=+[]")) return ParseEcho(*rest);
  if (AfterKeyword(line, "pause", " \t")) return Pause{};
  if (const auto rest = AfterKeyword(line, "goto", " \t:")) return ParseGoto(*rest);
  if (const auto rest = AfterKeyword(line, "if", " \t")) return ParseIf(*rest);
  return RunProgram{std::string(line)};
}

bool IsRemark(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  return AfterKeyword(line, "rem", " \t").has_value();
}

}  // namespace korvu::cmd
