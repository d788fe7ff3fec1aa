#include "job/value_forms.h"

#include <limits>

#include "job/number_text.h"
#include "job/text_rules.h"

namespace korvu::job {
namespace {

std::string WriteFlag(bool value) {
  return value ? "1" : "0";
}

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

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The hexadecimal digits after a prefix as a 32-bit pattern: at most eight significant digits.
std::optional<std::uint32_t> ReadHexDigits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t pattern = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0 || pattern > 0x0FFFFFFFu) return std::nullopt;
    pattern = pattern << 4 | static_cast<std::uint32_t>(digit);
  }
  return pattern;
}

// The digits after "$", "x", "X", "0x" or "0X"; nothing when `text` has none of these prefixes.
std::optional<std::string_view> HexDigits(std::string_view text) {
  if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) return text.substr(1);
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return text.substr(2);
  return std::nullopt;
}

}  // namespace

std::string WrittenValue(const JobSettings& settings, const SettingsKey& key) {
  return VisitValue(settings, key, [](const auto& value) { return WrittenOf(value); });
}

void ApplyValue(JobSettings& settings, const SettingsKey& key, std::string_view value) {
  VisitValue(settings, key, [&](auto& field) { ApplyTo(field, value); });
}

std::optional<std::int32_t> ReadInteger(std::string_view value) {
  std::string_view rest = value;
  const bool negative = !rest.empty() && rest.front() == '-';
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
  if (const auto digits = HexDigits(rest)) {
    const auto pattern = ReadHexDigits(*digits);
    if (!pattern) return std::nullopt;
    // Negating in unsigned arithmetic wraps as the 32-bit pattern does: -$80000000 stays itself.
    return static_cast<std::int32_t>(negative ? 0u - *pattern : *pattern);
  }
  using Limits = std::numeric_limits<std::int32_t>;
  const auto decimal = ParseDecimal(value, Limits::min(), Limits::max());
  if (!decimal) return std::nullopt;
  return static_cast<std::int32_t>(*decimal);
}

std::optional<bool> ReadFlag(std::string_view value) {
  const auto integer = ReadInteger(value);
  if (!integer) return std::nullopt;
  return *integer != 0;
}

std::string WriteInteger(std::int64_t value) {
  return std::to_string(value);
}

}  // namespace korvu::job
