#include "encoder/frame_rate.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace korvu::enc {
namespace {

constexpr double kMaxRate = 1000;
constexpr double kNtscTolerance = 0.005;

std::optional<int64_t> ReadDigits(std::string_view digits) {
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  int64_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<Rational> Reduced(int64_t num, int64_t den) {
  if (num <= 0 || den <= 0 || static_cast<double>(num) / den > kMaxRate) return std::nullopt;
  const int64_t divisor = std::gcd(num, den);
  return Rational{static_cast<int>(num / divisor), static_cast<int>(den / divisor)};
}

std::optional<Rational> ParseFraction(std::string_view text, size_t slash) {
  auto num = ReadDigits(text.substr(0, slash));
  auto den = ReadDigits(text.substr(slash + 1));
  if (!num || !den) return std::nullopt;
  return Reduced(*num, *den);
}

// Whole and fractional digits; "29.97" is 2997/100 before the NTSC snap.
std::optional<Rational> ParseDecimal(std::string_view text, size_t point) {
  std::string_view whole = text.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
  if (whole.empty()) whole = "0";
  if (fraction.empty()) fraction = "0";
  auto whole_value = ReadDigits(whole);
  auto fraction_value = ReadDigits(fraction);
  if (!whole_value || !fraction_value || *whole_value > kMaxRate) return std::nullopt;
  const int64_t scale = static_cast<int64_t>(std::pow(10, fraction.size()));
  return Reduced(*whole_value * scale + *fraction_value, scale);
}

Rational SnapToNtsc(Rational rate) {
  if (rate.den == 1) return rate;
  const double scaled = rate.Value() * 1.001;
  const double nearest = std::round(scaled);
  if (nearest < 1 || std::abs(scaled - nearest) >= kNtscTolerance) return rate;
  return *Reduced(static_cast<int64_t>(nearest) * 1000, 1001);
}

}  // namespace

std::optional<Rational> ParseFrameRate(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789./") != std::string_view::npos)
    return std::nullopt;
  if (size_t slash = text.find('/'); slash != std::string_view::npos) {
    if (text.find('.') != std::string_view::npos) return std::nullopt;
    return ParseFraction(text, slash);
  }
  if (text == ".") return std::nullopt;
  auto rate = ParseDecimal(text, text.find('.'));
  if (!rate) return std::nullopt;
  return SnapToNtsc(*rate);
}

}  // namespace korvu::enc
