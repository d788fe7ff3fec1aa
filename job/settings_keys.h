#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>

#include "job/job_settings.h"

namespace korvu::job {

// The section of the settings file that keeps the job.
inline constexpr std::string_view kSettingsSection = "Korvu";

enum class ValueForm { kText, kInteger, kFlag };

// One key of the section: its name as written, and the value of JobSettings it keeps. The kind of
// the value decides the form:
//  - a path or free text is written as shown and loaded through QuotePath;
//  - a number text is written as its 64-bit reading and loaded as a value, which the field
//    validates; a bounded integer is written as its value and loaded clamped; a list index is
//    written as the index (-1 for none) and loaded as the index to select;
//  - the B-reference box is written as a flag that is true only when checked, and loaded checked
//    or unchecked; a flag is written and loaded as a flag.
struct SettingsKey {
  using Field =
      std::variant<TextValue JobSettings::*, NumberText JobSettings::*, BoundedInt JobSettings::*,
                   ListIndex JobSettings::*, CheckBox JobSettings::*, Flag JobSettings::*>;

  std::string_view name;
  Field field;
  // What a load does right after this key has been applied.
  void (*after_load)(JobSettings&) = nullptr;

  ValueForm Form() const;
  // The value as the file writes it.
  std::string Written(const JobSettings& settings) const;
  // Sets the field from `value`, or leaves it as it is when `value` does not read in the key's
  // form. Raises whatever the field's change rules raise.
  void Apply(JobSettings& settings, std::string_view value) const;
};

// The sixteen keys in the order the file holds them and a load applies them.
extern const std::array<SettingsKey, 16> kSettingsKeys;

}  // namespace korvu::job
