#include "platform/posix/run_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>

#include "platform/posix/fd.h"

namespace korvu::platform {
namespace {

constexpr std::size_t kMaxPidDigits = 10;
constexpr std::size_t kUniqueLength = 6;  // mkdtemp's XXXXXX
constexpr const char* kFifoName = "status";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetterOrDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// How often a new folder is made again when a run in another PID namespace took it for stale
// between its creation and its lock.
constexpr int kMakeAttempts = 3;

// Calls `visit` with the name of every entry of the open folder `folder` but "." and "..";
// false when the folder cannot be read.
template <typename Visit>
bool ForEachEntry(int folder, Visit visit) {
  // The listing gets a descriptor of its own, which closedir closes.
  const int copy = dup(folder);
  DIR* listing = copy >= 0 ? fdopendir(copy) : nullptr;
  if (listing == nullptr) {
    if (copy >= 0) close(copy);
    return false;
  }
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") visit(entry->d_name);
  }
  closedir(listing);
  return true;
}

// Whether the open folder holds nothing but a FIFO named "status".
bool HoldsAFifoAtMost(int folder) {
  bool others = false;
  const bool read = ForEachEntry(folder, [&](const char* name) {
    struct stat info;
    others = others || std::string_view(name) != kFifoName ||
             fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISFIFO(info.st_mode);
  });
  return read && !others;
}

// Removes the folder `name` in `temp` and its FIFO when it is one of this user's run folders.
void RemoveRunFolder(int temp, const char* name) {
  // O_NOFOLLOW: a symbolic link of that name fails here and stays.
  const Fd folder(openat(temp, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info;
  if (!folder || fstat(folder.Get(), &info) != 0 || info.st_uid != geteuid() ||
      !HoldsAFifoAtMost(folder.Get()))
    return;
  // Its owner holds the lock while the folder is in use; we hold it while we remove it.
  if (flock(folder.Get(), LOCK_EX | LOCK_NB) != 0) return;
  unlinkat(folder.Get(), kFifoName, 0);
  unlinkat(temp, name, AT_REMOVEDIR);
}

}  // namespace

pid_t RunFolderOwner(std::string_view name) {
  if (!name.starts_with(kRunFolderPrefix)) return 0;
  name.remove_prefix(kRunFolderPrefix.size());
  const std::size_t digits = std::ranges::find_if_not(name, IsDigit) - name.begin();
  if (digits == 0 || digits > kMaxPidDigits || name[0] == '0') return 0;
  if (name.size() != digits + 1 + kUniqueLength || name[digits] != '-') return 0;
  if (!std::ranges::all_of(name.substr(digits + 1), IsLetterOrDigit)) return 0;
  const long long pid = std::stoll(std::string(name.substr(0, digits)));
  return pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

std::string MakeRunFolder(const std::string& temp, Fd& lock) {
  for (int attempt = 0; attempt < kMakeAttempts; ++attempt) {
    std::string folder =
        temp + "/" + std::string(kRunFolderPrefix) + std::to_string(getpid()) + "-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) return {};
    lock = Fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (lock && flock(lock.Get(), LOCK_EX | LOCK_NB) == 0) {
      // Still the folder we made: not removed as stale before the lock was ours.
      struct stat held, named;
      if (fstat(lock.Get(), &held) == 0 && lstat(folder.c_str(), &named) == 0 &&
          held.st_ino == named.st_ino && held.st_dev == named.st_dev)
        return folder;
    }
    lock = Fd();
  }
  errno = EAGAIN;
  return {};
}

void RemoveStaleRunFolders(const std::string& temp) {
  const Fd folder(open(temp.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder) return;
  ForEachEntry(folder.Get(), [&](const char* name) {
    if (RunFolderOwner(name) > 0) RemoveRunFolder(folder.Get(), name);
  });
}

}  // namespace korvu::platform
