#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "job/path_rules.h"
#include "platform/registry.h"

namespace korvu::job {

// Where the encoder's installer records its folder: a key under the current user's registry root
// (the leading "\" marks a path from the root) and the value holding the folder.
inline constexpr std::string_view kEncoderKey = R"(\Software\DivXNetworks\DivX Codec H.264)";
inline constexpr std::string_view kInstallDirValue = "Install_Dir";

inline constexpr std::string_view kWrongDataKind = "Ungültiger Datentyp für '%s'";
inline constexpr std::string_view kCannotReadData = "Fehler beim Holen der Daten für '%s'";

// The encoder's place inside the installation folder, in the style's separators.
std::string_view EncoderSuffix(PathStyle style);

// The value `name` of `key` as text, as a classic registry reader takes it: empty when the value
// is missing or its data has size 0 (whatever its kind); else the data up to its first NUL.
// Raises Error(kCannotReadData) when the data cannot be read, then Error(kWrongDataKind) when it
// is neither text nor expandable text (expandable text is taken as stored, nothing expanded).
std::string ReadRegistryText(const platform::RegistryKey& key, std::string_view name);

// The encoder text of an installed encoder: the installation folder with EncoderSuffix appended
// directly (no separator added or removed), wrapped in '"' with every '"' inside doubled, also
// without a blank in it. Nothing when the key cannot be opened with any of the three read masks.
// The key is closed in every case; the errors of ReadRegistryText leave after that.
std::optional<std::string> DiscoverEncoder(const platform::Registry& registry, PathStyle style);

}  // namespace korvu::job
