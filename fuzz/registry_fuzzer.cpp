// Any bytes as the registry export file: the reader must not crash, and every value it hands out
// must be found again by its name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto values =
      korvu::platform::FindRegistryKey(text, R"(Software\DivXNetworks\DivX Codec H.264)");
  if (!values) return 0;
  for (const auto& value : *values) {
    if (korvu::platform::FindRegistryValue(*values, value.name) == nullptr) std::abort();
  }
  return 0;
}
