#pragma once

#include <array>
#include <string_view>
#include <variant>

#include "job/path_rules.h"
#include "job/values.h"

namespace korvu::job {

inline constexpr std::string_view kDefaultEncoder = "DivX264.exe";
inline constexpr std::string_view kDefaultStats = "divx264_stat.dat";
inline constexpr std::string_view kOutputExtension = ".264";

// The frame rates the window offers; the text stays free.
inline constexpr std::string_view kOfferedFrameRates[] = {
    "24000/1001", "24", "25", "30000/1001", "30", "50", "60000/1001", "60", ""};

// Everything that describes one encode: four paths and twelve choices, named by their keys in the
// settings file, with the two rules that tie them together:
//  - every change of Input derives Output (its file name with the extension ".264"); when that name
//    is refused, the error leaves the change of Input and Output keeps its text;
//  - every change of Pyramide sets BRef: grayed when Pyramide is on, checked when it is off.
class JobSettings {
 public:
  explicit JobSettings(const PathRules& rules);
  JobSettings(const JobSettings&) = delete;
  JobSettings& operator=(const JobSettings&) = delete;

  const PathRules& Rules() const { return rules_; }

  // `listener` hears every change of every value, after the rules above have acted. A change the
  // rules make in answer to another (Output after Input, BRef after Pyramide) is heard once, with
  // the change that made it: one keystroke, one call.
  void OnAnyChange(const Observable::Listener& listener);

  // The pyramid coupling on demand: a settings load applies it right after reading Pyramide.
  void ApplyPyramidCoupling();

 private:
  const PathRules& rules_;

 public:
  TextValue Encoder{std::string(kDefaultEncoder)};
  TextValue Stats{std::string(kDefaultStats)};
  TextValue Input;
  TextValue Output;
  ListIndex EncQuality{{"Fast", "Balanced", "Highest"}, 1};
  NumberText Bitrate;
  BoundedInt Threads{0, 1, 0};  // the maximum is the thread maximum, 1 until start-up raises it
  BoundedInt GOPSec{1, 4, 4};
  BoundedInt MaxBFrames{1, 3, 2};
  BoundedInt RefFrames{1, 4, 4};
  CheckBox BRef;
  Flag Pyramide;
  ListIndex SourceType{{"Progressive", "Interlaced, TFF", "Interlaced, BFF"}, 0};
  Flag MBAFF;
  TextValue fps;
  NumberText MaxFrames;

 private:
  void DeriveOutput();
  // Runs a coupling rule; the changes it makes are heard with the change that set it off.
  void Coupled(void (JobSettings::*rule)());

  int coupled_changes_ = 0;
};

// One of the sixteen values: its key in the settings file and the member that keeps it. Whatever
// walks every value (notification, the settings file, a window's binding) walks kSettingsKeys.
struct SettingsKey {
  using Field =
      std::variant<TextValue JobSettings::*, NumberText JobSettings::*, BoundedInt JobSettings::*,
                   ListIndex JobSettings::*, CheckBox JobSettings::*, Flag JobSettings::*>;

  std::string_view name;
  Field field;
};

// The sixteen keys in the order the file holds them and a load applies them.
extern const std::array<SettingsKey, 16> kSettingsKeys;

// Calls `visit` with the value of `key` in `settings`, as its own kind.
template <typename Settings, typename Visit>
decltype(auto) VisitValue(Settings& settings, const SettingsKey& key, Visit&& visit) {
  return std::visit([&](auto member) -> decltype(auto) { return visit(settings.*member); },
                    key.field);
}

}  // namespace korvu::job
