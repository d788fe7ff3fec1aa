#include "app/form/main_form.h"

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

}  // namespace korvu::form
