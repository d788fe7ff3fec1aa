#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/fd.h"
#include "platform/posix/registry_file.h"

namespace korvu::platform {
namespace {

// Rights that would change the registry; the file is never written, so no key opens with them.
constexpr std::uint32_t kWriteRights = 0x0002 | 0x0004 | 0x0020 | 0x10000 | 0x40000 | 0x80000;

// A larger file holds no keys and is not read. The file stands for the per-user registry and
// holds an export of the encoder's key, a few hundred bytes; a file thousands of times that size is
// none. The reader keeps each value with its name in a node of a list and one of an index, some 12
// bytes of memory per byte of a file of tiny values: the limit holds a read to about 13 MB.
constexpr off_t kMaxFileSize = off_t{1} << 20;
constexpr std::size_t kChunk = std::size_t{64} << 10;

// $XDG_CONFIG_HOME/korvu/registry.reg; a relative XDG_CONFIG_HOME counts as unset.
std::string RegistryFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/korvu/registry.reg";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.config/korvu/registry.reg";
}

using SharedValues = std::shared_ptr<const RegistryFileValues>;

class FileKey final : public RegistryKey {
 public:
  explicit FileKey(SharedValues values) : values_(std::move(values)) {}

  std::optional<RegistryValueInfo> Query(std::string_view name) const override {
    const RegistryFileValue* value = FindRegistryValue(*values_, name);
    if (value == nullptr) return std::nullopt;
    return RegistryValueInfo{value->kind, value->data.size()};
  }

  bool Read(std::string_view name, std::size_t size, std::string& data) const override {
    const RegistryFileValue* value = FindRegistryValue(*values_, name);
    if (value == nullptr || value->data.size() > size) return false;
    data = value->data;
    return true;
  }

 private:
  SharedValues values_;
};

// What tells one state of a file from another: a changed file differs in one of these.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  explicit FileIdentity(const struct stat& info)
      : device(info.st_dev), inode(info.st_ino), size(info.st_size), modified(info.st_mtim) {}

  friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
  }
};

// The values of the key `path` in the open file `fd`, read in chunks; null for no key.
SharedValues ReadKey(int fd, std::string_view path) {
  RegistryKeyReader reader(path);
  const auto chunk = std::make_unique<char[]>(kChunk);
  // A file that grows past the limit while it is read is no smaller.
  for (off_t total = 0;;) {
    const ssize_t got = read(fd, chunk.get(), kChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || (total += got) > kMaxFileSize) return nullptr;
    if (got == 0) break;
    if (!reader.Feed({chunk.get(), static_cast<std::size_t>(got)})) return nullptr;
  }
  auto values = reader.Finish();
  if (!values) return nullptr;
  return std::make_shared<const RegistryFileValues>(std::move(*values));
}

// The file read once per state: the key's values of the last read are kept with the file's
// identity, so that opening the key again, with another access mask, costs one stat.
class FileRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(std::string_view path, std::uint32_t access) const override {
    if ((access & kWriteRights) != 0) return nullptr;
    const std::string file = RegistryFilePath();
    if (file.empty()) return nullptr;
    SharedValues values = Values(file, path);
    if (values == nullptr) return nullptr;
    return std::make_unique<FileKey>(std::move(values));
  }

 private:
  struct LastRead {
    std::string file;
    std::string key;
    FileIdentity identity;
    SharedValues values;
  };

  SharedValues Values(const std::string& file, std::string_view path) const {
    struct stat info;
    if (stat(file.c_str(), &info) != 0) return nullptr;
    const std::lock_guard lock(mutex_);
    if (last_ && last_->file == file && last_->key == path && last_->identity == FileIdentity(info))
      return last_->values;
    // Non-blocking, so that a pipe without a writer cannot hang the window.
    const Fd fd(open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd || fstat(fd.Get(), &info) != 0) return nullptr;
    // A device or pipe holds no keys, and some (/dev/zero) never end.
    SharedValues values;
    if (S_ISREG(info.st_mode) && info.st_size <= kMaxFileSize) values = ReadKey(fd.Get(), path);
    last_ = LastRead{file, std::string(path), FileIdentity(info), values};
    return values;
  }

  mutable std::mutex mutex_;
  mutable std::optional<LastRead> last_;
};

}  // namespace

const Registry& UserRegistry() {
  static const FileRegistry registry;
  return registry;
}

}  // namespace korvu::platform
