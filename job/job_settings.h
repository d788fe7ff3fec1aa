#pragma once

#include <functional>
#include <string_view>

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

  const PathRules& rules() const { return rules_; }

  // `listener` hears every change of every value, after the rules above have acted.
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
};

}  // namespace korvu::job
