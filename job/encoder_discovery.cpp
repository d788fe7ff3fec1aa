#include "job/encoder_discovery.h"

#include <array>
#include <cstdint>
#include <memory>

#include "job/error.h"
#include "job/text_rules.h"

namespace korvu::job {
namespace {

constexpr std::array<std::uint32_t, 3> kReadMasks = {platform::kKeyRead, platform::kKeyReadNoNotify,
                                                     platform::kKeyQueryValue};

std::unique_ptr<platform::RegistryKey> OpenForReading(const platform::Registry& registry) {
  const std::string_view path = kEncoderKey.substr(1);
  for (const std::uint32_t mask : kReadMasks) {
    if (auto key = registry.OpenKey(path, mask)) return key;
  }
  return nullptr;
}

bool IsText(platform::RegistryKind kind) {
  return kind == platform::RegistryKind::kText || kind == platform::RegistryKind::kExpandText;
}

}  // namespace

std::string_view EncoderSuffix(PathStyle style) {
  return style == PathStyle::kWindows ? R"(\DivX H.264 Codec CLI\bin\DivX264.exe)"
                                      : "/DivX H.264 Codec CLI/bin/DivX264.exe";
}

std::string ReadRegistryText(const platform::RegistryKey& key, std::string_view name) {
  const auto info = key.Query(name);
  if (!info || info->size == 0) return {};
  std::string data;
  if (!key.Read(name, info->size, data)) throw Error(FormatText(kCannotReadData, {name}));
  if (!IsText(info->kind)) throw Error(FormatText(kWrongDataKind, {name}));
  return data.substr(0, data.find('\0'));
}

std::optional<std::string> DiscoverEncoder(const platform::Registry& registry, PathStyle style) {
  const auto key = OpenForReading(registry);
  if (!key) return std::nullopt;
  return QuotedAlways(ReadRegistryText(*key, kInstallDirValue) + std::string(EncoderSuffix(style)));
}

}  // namespace korvu::job
