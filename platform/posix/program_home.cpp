#include "platform/posix/program_home.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/posix/fd.h"

#include "platform/posix/system_install.h"

namespace korvu::platform {
namespace {

constexpr auto kNone = std::string::npos;

std::string WithoutTrailingSlashes(std::string path) {
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path;
}

std::string UserFolder(const char* data_home, const char* home) {
  if (data_home != nullptr && data_home[0] == '/')
    return WithoutTrailingSlashes(data_home) + "/korvu";
  if (home != nullptr && home[0] == '/')
    return WithoutTrailingSlashes(home) + "/.local/share/korvu";
  return {};
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == kNone) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the folder `path` (absolute) and its missing parents.
bool MakeFolders(const std::string& path) {
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string part = path.substr(0, end);
    if (!IsFolder(part) && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (end == kNone) return IsFolder(path);
  }
}

std::string Octal(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// Opens the user's folder `path`, made when missing, and tells what keeps it from being used.
std::string OpenUserFolder(const std::string& path, Fd& folder) {
  const auto reason = [](int error) { return std::system_category().message(error); };
  if (!MakeFolders(path)) return "it cannot be made (" + reason(errno) + ")";
  folder = Fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct stat info;
  if (!folder || fstat(folder.Get(), &info) != 0)
    return "it cannot be opened (" + reason(errno) + ")";
  return FolderProblem(info, geteuid());
}

}  // namespace

std::string FolderProblem(const struct stat& info, uid_t user) {
  if (!S_ISDIR(info.st_mode)) return "it is no folder";
  if (info.st_uid != user)
    return "it belongs to another user (uid " + std::to_string(info.st_uid) + ")";
  if (info.st_mode & S_IWOTH) return "others may write into it (mode " + Octal(info.st_mode) + ")";
  if (info.st_mode & S_IWGRP)
    return "its group may write into it (mode " + Octal(info.st_mode) + ")";
  return {};
}

ProgramHome ChooseProgramHome(const std::string& executable, bool folder_writable,
                              const char* data_home, const char* home) {
  const std::size_t slash = executable.rfind('/');
  const std::string folder = slash == kNone ? std::string() : UserFolder(data_home, home);
  if (folder_writable || folder.empty()) return {executable, {}, {}};
  return {folder + executable.substr(slash), executable, folder};
}

ProgramHome EnterProgramHome(const std::string& executable) {
  // By the effective user, who creates the files; a read-only file system counts as not writable,
  // and so does a package's folder, also for root.
  const bool writable = !executable.empty() && !IsSystemInstall(FolderOf(executable)) &&
                        faccessat(AT_FDCWD, FolderOf(executable).c_str(), W_OK, AT_EACCESS) == 0;
  ProgramHome home =
      ChooseProgramHome(executable, writable, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  if (home.folder.empty()) return home;
  // The folder checked is the folder entered, whatever happens to its name meanwhile.
  Fd folder;
  std::string problem = OpenUserFolder(home.folder, folder);
  if (problem.empty() && fchdir(folder.Get()) != 0)
    problem = "it cannot be entered (" + std::system_category().message(errno) + ")";
  if (problem.empty()) return home;
  return {executable,
          {},
          {},
          "Korvu does not use its folder " + home.folder + ": " + problem +
              ". Its settings and job script stay beside the program, in " + FolderOf(executable)};
}

}  // namespace korvu::platform
