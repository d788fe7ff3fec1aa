#include "job/settings_text.h"

namespace korvu::job {

std::string WriteSettingsText(const SettingsText& text) {
  constexpr std::string_view kLineEnd = "\r\n";
  std::size_t size = 0;
  for (const SettingsSection& section : text) {
    size += section.name.size() + 2 + 2 * kLineEnd.size();
    for (const std::string& line : section.lines) size += line.size() + kLineEnd.size();
  }
  std::string bytes;
  bytes.reserve(size);
  for (const SettingsSection& section : text) {
    bytes.append(1, '[').append(section.name).append(1, ']').append(kLineEnd);
    for (const std::string& line : section.lines) bytes.append(line).append(kLineEnd);
    bytes.append(kLineEnd);
  }
  return bytes;
}

}  // namespace korvu::job
