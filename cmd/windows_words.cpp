#include "cmd/windows_words.h"

#include "cmd/ascii.h"

namespace korvu::cmd {
namespace {

std::size_t SkipSeparators(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// Reads one argument starting at `at` (not at a separator); returns where it ended.
std::size_t ReadArgument(std::string_view text, std::size_t at, std::string& argument) {
  bool quoted = false;
  while (at < text.size() && (quoted || !IsBlank(text[at]))) {
    std::size_t backslashes = 0;
    while (at < text.size() && text[at] == '\\') ++backslashes, ++at;
    if (at < text.size() && text[at] == '"') {
      argument.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        argument += '"';
      } else if (quoted && at + 1 < text.size() && text[at + 1] == '"') {
        argument += '"';
        ++at;
      } else {
        quoted = !quoted;
      }
      ++at;
    } else {
      argument.append(backslashes, '\\');
      if (at < text.size() && (quoted || !IsBlank(text[at]))) argument += text[at++];
    }
  }
  return at;
}

}  // namespace

ProgramWord SplitProgramWord(std::string_view command_line) {
  ProgramWord word;
  std::size_t at = SkipSeparators(command_line, 0);
  const std::size_t start = at;
  bool quoted = false;
  for (; at < command_line.size() && (quoted || !IsBlank(command_line[at])); ++at) {
    if (command_line[at] == '"') {
      quoted = !quoted;
    } else {
      word.program += command_line[at];
    }
  }
  word.raw = command_line.substr(start, at - start);
  if (at < command_line.size()) ++at;  // the separator that ended the word
  word.rest = command_line.substr(at);
  return word;
}

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> arguments;
  for (std::size_t at = SkipSeparators(text, 0); at < text.size(); at = SkipSeparators(text, at)) {
    std::string argument;
    at = ReadArgument(text, at, argument);
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::vector<std::string> SplitBatchParameters(std::string_view text) {
  const auto separates = [](char c) { return IsBlank(c) || c == ',' || c == ';' || c == '='; };
  std::vector<std::string> parameters;
  std::string parameter;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && separates(c)) {
      if (!parameter.empty()) parameters.push_back(std::move(parameter));
      parameter.clear();
    } else {
      parameter += c;
    }
  }
  if (!parameter.empty()) parameters.push_back(std::move(parameter));
  return parameters;
}

bool IsBatchName(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view extension = name.substr(name.size() - 4);
  return EqualsIgnoringCase(extension, ".bat") || EqualsIgnoringCase(extension, ".cmd");
}

}  // namespace korvu::cmd
