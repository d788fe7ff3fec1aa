#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korvu::platform {

// Access masks for opening a key, in the order a reader tries them.
inline constexpr std::uint32_t kKeyRead = 0x20019;          // KEY_READ
inline constexpr std::uint32_t kKeyReadNoNotify = 0x20009;  // KEY_READ without KEY_NOTIFY
inline constexpr std::uint32_t kKeyQueryValue = 0x1;        // KEY_QUERY_VALUE

// The kinds of data a registry value holds: text (REG_SZ), expandable text (REG_EXPAND_SZ), a
// number (REG_DWORD, REG_QWORD), a byte string (REG_BINARY) and anything else.
enum class RegistryKind { kText, kExpandText, kNumber, kBinary, kOther };

struct RegistryValueInfo {
  RegistryKind kind = RegistryKind::kOther;
  std::size_t size = 0;  // bytes of data; text counts its closing NUL
};

// An open key of the per-user registry; closed when destroyed.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // The kind and size of the value `name`; nothing when there is no such value.
  virtual std::optional<RegistryValueInfo> Query(std::string_view name) const = 0;
  // The data of the value `name` into `data` (at most `size` bytes); false when it cannot be read.
  // Text comes as single-byte characters of the system's code page (UTF-8 on POSIX), with its
  // closing NUL.
  virtual bool Read(std::string_view name, std::size_t size, std::string& data) const = 0;
};

// The current user's part of the registry (HKEY_CURRENT_USER), read only.
class Registry {
 public:
  virtual ~Registry() = default;

  // Opens the key at `path` ("Software\Vendor\Product", no leading backslash) with the access
  // mask `access`; nothing when the key is missing or cannot be opened with that mask.
  virtual std::unique_ptr<RegistryKey> OpenKey(std::string_view path,
                                               std::uint32_t access) const = 0;
};

// The registry of the machine the program runs on. On POSIX it is the read-only text file
// $XDG_CONFIG_HOME/korvu/registry.reg (default ~/.config/korvu/registry.reg) in the registry
// export format; a missing or malformed file holds no keys.
const Registry& UserRegistry();

}  // namespace korvu::platform
