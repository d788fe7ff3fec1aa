#include "platform/registry.h"

#include <cstdlib>

#include "platform/file_io.h"
#include "platform/posix/registry_file.h"

namespace korvu::platform {
namespace {

// Rights that would change the registry; the file is never written, so no key opens with them.
constexpr std::uint32_t kWriteRights = 0x0002 | 0x0004 | 0x0020 | 0x10000 | 0x40000 | 0x80000;

// $XDG_CONFIG_HOME/korvu/registry.reg; a relative XDG_CONFIG_HOME counts as unset.
std::string RegistryFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/korvu/registry.reg";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.config/korvu/registry.reg";
}

class FileKey final : public RegistryKey {
 public:
  explicit FileKey(std::vector<RegistryFileValue> values) : values_(std::move(values)) {}

  std::optional<RegistryValueInfo> Query(std::string_view name) const override {
    const RegistryFileValue* value = Find(name);
    if (value == nullptr) return std::nullopt;
    return RegistryValueInfo{value->kind, value->data.size()};
  }

  bool Read(std::string_view name, std::size_t size, std::string& data) const override {
    const RegistryFileValue* value = Find(name);
    if (value == nullptr || value->data.size() > size) return false;
    data = value->data;
    return true;
  }

 private:
  const RegistryFileValue* Find(std::string_view name) const {
    return FindRegistryValue(values_, name);
  }

  std::vector<RegistryFileValue> values_;
};

class FileRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(std::string_view path, std::uint32_t access) const override {
    if ((access & kWriteRights) != 0) return nullptr;
    const std::string file = RegistryFilePath();
    std::string text;
    if (file.empty() || ReadWholeFile(file, text)) return nullptr;
    auto values = FindRegistryKey(text, path);
    if (!values) return nullptr;
    return std::make_unique<FileKey>(std::move(*values));
  }
};

}  // namespace

const Registry& UserRegistry() {
  static const FileRegistry registry;
  return registry;
}

}  // namespace korvu::platform
