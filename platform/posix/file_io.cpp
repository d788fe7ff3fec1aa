#include "platform/file_io.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/fd.h"
#include "platform/temp_file_name.h"

namespace korvu::platform {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit for following symbolic links

FileError Failure(FileStep step, int code) {
  return {step, false, code, std::system_category().message(code)};
}

FileError NoFile(int code) {
  FileError error = Failure(FileStep::kOpen, code);
  error.no_file = true;
  return error;
}

// A symbolic link where the caller refuses one: to a reader no file, as a device is.
FileError LinkRefused(FileStep step) {
  FileError error = Failure(step, ELOOP);
  error.no_file = step == FileStep::kOpen;
  error.description = "It is a symbolic link, which is not followed";
  return error;
}

bool ValidName(const std::string& name) {
  return !name.empty() && name.find('\0') == std::string::npos;
}

std::string FolderOf(const std::string& name) {
  const auto slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// Reads what `fd` holds into `bytes`; 0 or the errno of the failed read.
int ReadAll(int fd, std::size_t size_hint, std::string& bytes) {
  bytes.resize(size_hint + 1);  // one more, so that the end shows without a second pass
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
    const ssize_t got = read(fd, bytes.data() + used, bytes.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno;
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  return 0;
}

// 0, or the errno of the write that stopped short.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

// The name that a save replaces: `name`, or the end of its chain of symbolic links. A link whose
// target does not exist yet leads to that target.
std::optional<FileError> FollowLinks(const std::string& name, std::string& target) {
  target = name;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat info;
    if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
    std::string link(static_cast<std::size_t>(info.st_size) + 1, '\0');
    const ssize_t length = readlink(target.c_str(), link.data(), link.size());
    if (length < 0) return Failure(FileStep::kCreate, errno);
    link.resize(static_cast<std::size_t>(length));
    target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
  }
  return Failure(FileStep::kCreate, ELOOP);
}

constexpr time_t kStaleAfterSeconds = 60;

// Removes what saves killed between creating their temporary file and renaming it left behind in
// `folder`: regular files of the temporary name only. A file changed within the last minute may
// belong to a save that another Korvu is making in the same folder right now, and stays.
void RemoveStaleTemps(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const time_t now = time(nullptr);
  while (const dirent* entry = readdir(dir)) {
    if (!IsTempFileName(entry->d_name)) continue;
    struct stat info;
    if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(info.st_mode) && now - info.st_mtime >= kStaleAfterSeconds)
      unlinkat(dirfd(dir), entry->d_name, 0);
  }
  closedir(dir);
}

// Removes the temporary file when the save fails, however it fails.
class TempGuard {
 public:
  explicit TempGuard(const std::string& name) : name_(name) {}
  ~TempGuard() {
    if (!kept_) unlink(name_.c_str());
  }
  TempGuard(const TempGuard&) = delete;
  TempGuard& operator=(const TempGuard&) = delete;
  void Renamed() { kept_ = true; }

 private:
  const std::string& name_;
  bool kept_ = false;
};

// A new, empty file with a name of its own in `folder`.
std::optional<FileError> CreateTemp(const std::string& folder, mode_t mode, std::string& name,
                                    Fd& fd) {
  // Only the window's thread saves, so one generator without a lock will do.
  static std::mt19937_64 random(std::random_device{}() ^ static_cast<unsigned>(getpid()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + "/" + TempFileName(random());
    fd = Fd(
        open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode));
    if (fd) return std::nullopt;
    if (errno != EEXIST) return Failure(FileStep::kCreate, errno);
  }
  return Failure(FileStep::kCreate, EEXIST);
}

// Gives the new file the owner and permission bits of the file it replaces, as far as allowed.
void TakeOver(int fd, const struct stat& old) {
  if (old.st_uid != geteuid() || old.st_gid != getegid()) {
    // Only a privileged user may give a file away; anybody else saves a file of their own.
    const int refused = fchown(fd, old.st_uid, old.st_gid);
    static_cast<void>(refused);
  }
  fchmod(fd, old.st_mode & 07777);  // after fchown, which may clear the set-id bits
}

// Writes, flushes and closes the temporary file, then renames it over `target`.
std::optional<FileError> FillAndRename(Fd fd, const std::string& temp, const std::string& target,
                                       std::string_view bytes) {
  if (const int code = WriteAll(fd.Get(), bytes)) return Failure(FileStep::kWrite, code);
  if (fsync(fd.Get()) != 0) return Failure(FileStep::kWrite, errno);
  if (const int code = fd.Close()) return Failure(FileStep::kWrite, code);
  if (rename(temp.c_str(), target.c_str()) != 0) {
    const int code = errno;
    const bool full = code == ENOSPC || code == EDQUOT;
    return Failure(full ? FileStep::kWrite : FileStep::kCreate, code);
  }
  return std::nullopt;
}

// Makes the rename itself durable; a failure here loses nothing that is not already in place.
void SyncFolder(const std::string& folder) {
  const Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) fsync(dir.Get());
}

// A device or pipe is no file to replace: the bytes go to it directly.
std::optional<FileError> WriteInPlace(const Fd& fd, std::string_view bytes) {
  if (const int code = WriteAll(fd.Get(), bytes)) return Failure(FileStep::kWrite, code);
  return std::nullopt;
}

}  // namespace

std::optional<FileError> ReadWholeFile(const std::string& name, std::string& bytes, Links links) {
  bytes.clear();
  if (!ValidName(name)) return NoFile(ENOENT);
  // Non-blocking, so that a pipe without a writer cannot hang the window.
  const int no_follow = links == Links::kRefuse ? O_NOFOLLOW : 0;
  const Fd fd(open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | no_follow));
  if (!fd) {
    const int code = errno;
    if (code == ELOOP && no_follow) return LinkRefused(FileStep::kOpen);
    // A name too long for the system names no file either.
    const bool no_file = code == ENOENT || code == ENOTDIR || code == ENAMETOOLONG;
    return no_file ? NoFile(code) : Failure(FileStep::kOpen, code);
  }
  struct stat info;
  if (fstat(fd.Get(), &info) != 0) return Failure(FileStep::kOpen, errno);
  if (S_ISDIR(info.st_mode)) return NoFile(EISDIR);
  // A device or pipe holds no settings, and some (/dev/zero) never end.
  if (!S_ISREG(info.st_mode)) return NoFile(EINVAL);
  if (const int code = ReadAll(fd.Get(), static_cast<std::size_t>(info.st_size), bytes)) {
    bytes.clear();
    return Failure(FileStep::kOpen, code);
  }
  return std::nullopt;
}

std::optional<FileError> ReplaceFileSafely(const std::string& name, std::string_view bytes,
                                           Links links) {
  if (!ValidName(name)) return Failure(FileStep::kCreate, ENOENT);
  std::string target = name;
  if (links == Links::kFollow) {
    if (auto error = FollowLinks(name, target)) return error;
  }
  struct stat old;
  const bool exists = lstat(target.c_str(), &old) == 0;
  if (exists && S_ISLNK(old.st_mode)) return LinkRefused(FileStep::kCreate);
  if (exists) {
    // rename() would replace a file that may not be written; open it for writing to ask first.
    const Fd check(open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
    if (!check) return Failure(FileStep::kCreate, errno);
    if (!S_ISREG(old.st_mode)) return WriteInPlace(check, bytes);
  }
  const std::string folder = FolderOf(target);
  RemoveStaleTemps(folder);
  std::string temp;
  Fd fd;
  if (auto error = CreateTemp(folder, exists ? (old.st_mode & 07777) : 0666, temp, fd))
    return error;
  TempGuard guard(temp);
  if (exists) TakeOver(fd.Get(), old);
  if (auto error = FillAndRename(std::move(fd), temp, target, bytes)) return error;
  guard.Renamed();
  SyncFolder(folder);
  return std::nullopt;
}

std::string FullPath(const std::string& name) {
  if (name.empty() || name.front() == '/') return name;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  if (error) return name;
  return (folder / name).string();
}

}  // namespace korvu::platform
