#include "job/number_text.h"

#include <limits>

namespace korvu::job {
namespace {

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 32;
}

}  // namespace

std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t min,
                                         std::int64_t max) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate the magnitude as unsigned, so that the 64-bit minimum is readable too.
  const std::uint64_t limit =
      negative ? 0 - static_cast<std::uint64_t>(min) : static_cast<std::uint64_t>(max);
  std::uint64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (magnitude > (limit - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  if (!negative) return static_cast<std::int64_t>(magnitude);
  return magnitude == 0 ? 0 : -static_cast<std::int64_t>(magnitude - 1) - 1;
}

std::int32_t NumberValue(std::string_view text) {
  using Limits = std::numeric_limits<std::int32_t>;
  return static_cast<std::int32_t>(ParseDecimal(text, Limits::min(), Limits::max()).value_or(0));
}

std::int64_t NumberAsInteger(std::string_view text) {
  using Limits = std::numeric_limits<std::int64_t>;
  return ParseDecimal(text, Limits::min(), Limits::max()).value_or(0);
}

bool AcceptsNumberKey(char c, std::string_view text, std::size_t caret, bool has_selection) {
  if (IsControl(c) || (c >= '0' && c <= '9')) return true;
  if (c != '+' && c != '-') return false;
  return caret == 0 && (has_selection || text.find(c) == std::string_view::npos);
}

std::string ValidatedNumberText(std::string_view text) {
  std::string kept;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!IsControl(c) && AcceptsNumberKey(c, text.substr(0, i), i, false)) kept += c;
  }
  const std::int64_t value = NumberAsInteger(kept);
  return std::to_string(value < 0 ? 0 : value);
}

}  // namespace korvu::job
