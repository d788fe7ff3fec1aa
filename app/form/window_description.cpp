#include "app/form/window_description.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace korvu::form {

const Control& ControlNamed(std::string_view name) {
  const auto* found = std::ranges::find(kControls, name, &Control::name);
  if (found == std::end(kControls)) throw std::out_of_range("no control " + std::string(name));
  return *found;
}

const job::SettingsKey* ValueKey(const Control& row) {
  const auto found = std::ranges::find(job::kSettingsKeys, row.value, &job::SettingsKey::name);
  return found == job::kSettingsKeys.end() ? nullptr : &*found;
}

std::vector<std::string> EntriesOf(const Control& row) {
  return {row.entries.begin(), row.entries.end()};
}

int RoomBeside(const Box& own) {
  int right = kClientWidth;
  const auto limit = [&](const Box& other) {
    const bool same_lines = other.top < own.top + own.height && own.top < other.top + other.height;
    if (same_lines && other.left >= own.left + own.width) right = std::min(right, other.left);
  };
  for (const Control& row : kControls) {
    limit(row.box);
    if (!row.label.name.empty()) limit(row.label.box);
  }
  return std::max(own.width, right - own.left);
}

std::string NotReadyText(const std::vector<job::NotReadyReason>& reasons) {
  std::string text;
  for (const job::NotReadyReason& reason : reasons) {
    const auto row = std::ranges::find(kControls, reason.key, &Control::value);
    const std::string_view field = row == std::end(kControls) ? reason.key : row->label.caption;
    text.append(field).append(": ").append(reason.problem).append("\r\n");
  }
  return text;
}

std::string EncodeHint(const std::vector<job::NotReadyReason>& reasons) {
  std::string hint(ControlNamed("jvbEncode").hint);
  if (!reasons.empty()) hint.append("\r\n\r\n").append(NotReadyText(reasons));
  // The last reason's line end would show as an empty line under the hint.
  if (hint.ends_with("\r\n")) hint.resize(hint.size() - 2);
  return hint;
}

}  // namespace korvu::form
