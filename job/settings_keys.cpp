#include "job/settings_keys.h"

#include <type_traits>

#include "job/settings_values.h"
#include "job/text_rules.h"

namespace korvu::job {
namespace {

std::string WrittenOf(const TextValue& v) {
  return v.Text();
}
std::string WrittenOf(const NumberText& v) {
  return WriteInteger(v.AsInteger());
}
std::string WrittenOf(const BoundedInt& v) {
  return WriteInteger(v.Value());
}
std::string WrittenOf(const ListIndex& v) {
  return WriteInteger(v.Index());
}
std::string WrittenOf(const CheckBox& v) {
  return WriteFlag(v.Checked());
}
std::string WrittenOf(const Flag& v) {
  return WriteFlag(v.Value());
}

void ApplyTo(TextValue& v, std::string_view value) {
  v.SetText(QuotePath(value));
}
void ApplyTo(NumberText& v, std::string_view value) {
  if (const auto n = ReadInteger(value)) v.SetValue(*n);
}
void ApplyTo(BoundedInt& v, std::string_view value) {
  if (const auto n = ReadInteger(value)) v.SetValue(*n);
}
void ApplyTo(ListIndex& v, std::string_view value) {
  if (const auto n = ReadInteger(value)) v.SetIndex(*n);
}
void ApplyTo(CheckBox& v, std::string_view value) {
  if (const auto on = ReadFlag(value)) v.SetChecked(*on);
}
void ApplyTo(Flag& v, std::string_view value) {
  if (const auto on = ReadFlag(value)) v.SetValue(*on);
}

template <typename Value>
ValueForm FormOf(Value JobSettings::*) {
  if constexpr (std::is_same_v<Value, TextValue>) return ValueForm::kText;
  if constexpr (std::is_same_v<Value, CheckBox> || std::is_same_v<Value, Flag>)
    return ValueForm::kFlag;
  return ValueForm::kInteger;
}

void CouplePyramid(JobSettings& settings) {
  settings.ApplyPyramidCoupling();
}

}  // namespace

// Constant-initialised: ready before any static initialiser of another file could look at it.
constinit const std::array<SettingsKey, 16> kSettingsKeys = {{
    {"Encoder", &JobSettings::Encoder},
    {"Stats", &JobSettings::Stats},
    {"Input", &JobSettings::Input},  // its change derives Output, before Output is read
    {"Output", &JobSettings::Output},
    {"EncQuality", &JobSettings::EncQuality},
    {"Bitrate", &JobSettings::Bitrate},
    {"Threads", &JobSettings::Threads},
    {"GOPSec", &JobSettings::GOPSec},
    {"MaxBFrames", &JobSettings::MaxBFrames},
    {"RefFrames", &JobSettings::RefFrames},
    {"BRef", &JobSettings::BRef},
    // The stored BRef never outlasts a load: the coupling follows Pyramide at once.
    {"Pyramide", &JobSettings::Pyramide, CouplePyramid},
    {"SourceType", &JobSettings::SourceType},
    {"MBAFF", &JobSettings::MBAFF},
    {"fps", &JobSettings::fps},
    {"MaxFrames", &JobSettings::MaxFrames},
}};

ValueForm SettingsKey::Form() const {
  return std::visit([](auto member) { return FormOf(member); }, field);
}

std::string SettingsKey::Written(const JobSettings& settings) const {
  return std::visit([&](auto member) { return WrittenOf(settings.*member); }, field);
}

void SettingsKey::Apply(JobSettings& settings, std::string_view value) const {
  std::visit([&](auto member) { ApplyTo(settings.*member, value); }, field);
}

}  // namespace korvu::job
