#include "platform/registry.h"

#include <windows.h>

namespace korvu::platform {
namespace {

RegistryKind KindOf(DWORD type) {
  switch (type) {
    case REG_SZ:
      return RegistryKind::kText;
    case REG_EXPAND_SZ:
      return RegistryKind::kExpandText;
    case REG_BINARY:
      return RegistryKind::kBinary;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
    case REG_QWORD:
      return RegistryKind::kNumber;
    default:
      return RegistryKind::kOther;
  }
}

class Win32Key final : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  std::optional<RegistryValueInfo> Query(std::string_view name) const override {
    const std::string value_name(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, value_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    return RegistryValueInfo{KindOf(type), size};
  }

  bool Read(std::string_view name, std::size_t size, std::string& data) const override {
    const std::string value_name(name);
    data.assign(size, '\0');
    DWORD type = 0;
    DWORD read = static_cast<DWORD>(size);
    if (RegQueryValueExA(key_, value_name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &read) != ERROR_SUCCESS)
      return false;
    data.resize(read);
    return true;
  }

 private:
  HKEY key_;
};

class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(std::string_view path, std::uint32_t access) const override {
    const std::string key_path(path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, access, &key) != ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<Win32Key>(key);
  }
};

}  // namespace

const Registry& UserRegistry() {
  static const Win32Registry registry;
  return registry;
}

}  // namespace korvu::platform
