// Any bytes as the registry export file: the reader must not crash, the values it hands out must be
// found again by their names, and the file fed in pieces must give what it gives whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "fuzz/input_lengths.h"
#include "platform/posix/registry_file.h"

namespace korvu::platform {

bool operator==(const RegistryFileValue& a, const RegistryFileValue& b) {
  return a.name == b.name && a.kind == b.kind && a.data == b.data;
}

namespace {

constexpr std::string_view kKey = R"(Software\DivXNetworks\DivX Codec H.264)";

void Check(bool holds) {
  if (!holds) std::abort();
}

// The text in pieces of 1 to 64 bytes, their sizes taken from the text's own bytes, so that a
// piece ends inside a byte-order mark, a UTF-16 unit, a surrogate pair and a CR LF alike.
std::optional<RegistryFileValues> ReadInPieces(std::string_view text) {
  RegistryKeyReader reader(kKey);
  for (std::size_t i = 0; !text.empty(); ++i) {
    const std::size_t size = 1 + static_cast<unsigned char>(text[i % text.size()]) % 64;
    reader.Feed(text.substr(0, size));
    text.remove_prefix(std::min(size, text.size()));
  }
  return reader.Finish();
}

}  // namespace
}  // namespace korvu::platform

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvu::platform;
  korvu::fuzz::input_lengths.Tried(size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto values = FindRegistryKey(text, kKey);
  Check(ReadInPieces(text) == values);
  if (!values) return 0;
  // The first values and the last: a look-up for each of many would make the check quadratic.
  std::size_t looked_up = 0;
  for (const auto& value : *values) {
    if (++looked_up <= 64 || &value == &values->back())
      Check(FindRegistryValue(*values, value.name) == &value);
  }
  return 0;
}
