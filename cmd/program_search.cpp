#include "cmd/program_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include "cmd/windows_words.h"

namespace korvu::cmd {
namespace {

bool IsStartable(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return IsBatchName(path) || access(path.c_str(), X_OK) == 0;
}

bool HasExtension(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

std::optional<std::string> TryPlace(const std::string& base) {
  if (IsStartable(base)) return base;
  if (!HasExtension(base) && IsStartable(base + ".exe")) return base + ".exe";
  return std::nullopt;
}

std::optional<std::string> SearchPathVariable(const std::string& name, std::string_view folders) {
  while (!folders.empty()) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
    if (folder.empty()) continue;
    const std::string separator = folder.back() == '/' ? "" : "/";
    if (auto found = TryPlace(std::string(folder) + separator + name)) return found;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FindProgram(const std::string& name, std::string_view path_variable) {
  if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
  if (auto found = TryPlace(name)) return found;
  if (name.find('/') != std::string::npos) return std::nullopt;
  return SearchPathVariable(name, path_variable);
}

std::optional<ResolvedCommand> ResolveCommandLine(std::string_view command_line,
                                                  std::string_view path_variable,
                                                  std::string& program_word) {
  ProgramWord word = SplitProgramWord(command_line);
  program_word = word.raw;
  std::optional<std::string> path = FindProgram(word.program, path_variable);
  if (!path) return std::nullopt;
  ResolvedCommand command{*path, {word.program}, IsBatchName(*path)};
  for (std::string& argument :
       command.batch ? SplitBatchParameters(word.rest) : SplitArguments(word.rest))
    command.argv.push_back(std::move(argument));
  return command;
}

std::string NotRecognizedMessage(std::string_view program_word) {
  return "'" + std::string(program_word) +
         "' is not recognized as an internal or external command,\n"
         "operable program or batch file.\n";
}

}  // namespace korvu::cmd
