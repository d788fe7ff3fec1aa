#include "app/form/main_form.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <variant>

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

bool ShowsItsKindOfValue(const Control& row) {
  using job::JobSettings;
  const job::SettingsKey* key = ValueKey(row);
  const auto holds = [key](auto member) {
    return key != nullptr && std::holds_alternative<decltype(member)>(key->field);
  };
  switch (row.kind) {
    case Kind::kFileName:
    case Kind::kFreeTextList:
      return holds(static_cast<job::TextValue JobSettings::*>(nullptr));
    case Kind::kNumber:
      return holds(static_cast<job::NumberText JobSettings::*>(nullptr));
    case Kind::kSpin:
      return holds(static_cast<job::BoundedInt JobSettings::*>(nullptr));
    case Kind::kEditableList:
    case Kind::kFixedList:
      return holds(static_cast<job::ListIndex JobSettings::*>(nullptr));
    case Kind::kCheckBox:
      return holds(static_cast<job::CheckBox JobSettings::*>(nullptr)) ||
             holds(static_cast<job::Flag JobSettings::*>(nullptr));
    case Kind::kButton:
    case Kind::kPreview:
      return row.value.empty();
  }
  return false;
}

}  // namespace korvu::form
