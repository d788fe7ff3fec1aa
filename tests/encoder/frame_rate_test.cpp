#include "encoder/frame_rate.h"

#include <gtest/gtest.h>

namespace korvu::enc {
namespace {

struct RateCase {
  const char* text;
  std::optional<Rational> rate;
};

void PrintTo(const RateCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class FrameRateTest : public testing::TestWithParam<RateCase> {};

TEST_P(FrameRateTest, Reads) {
  EXPECT_EQ(ParseFrameRate(GetParam().text), GetParam().rate) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FrameRateTest,
    testing::Values(
        // Whole numbers, decimals and fractions, reduced.
        RateCase{"25", Rational{25, 1}}, RateCase{"25.0", Rational{25, 1}},
        RateCase{"12.5", Rational{25, 2}}, RateCase{"0.5", Rational{1, 2}},
        RateCase{".5", Rational{1, 2}}, RateCase{"50/2", Rational{25, 1}},
        RateCase{"30000/1001", Rational{30000, 1001}},
        // NTSC-style decimals snap to the /1001 rate they stand for.
        RateCase{"29.97", Rational{30000, 1001}}, RateCase{"23.976", Rational{24000, 1001}},
        RateCase{"23.98", Rational{24000, 1001}}, RateCase{"59.94", Rational{60000, 1001}},
        RateCase{"29.970", Rational{30000, 1001}},
        // Near a /1001 rate but not close enough, or whole: left alone.
        RateCase{"29.9", Rational{299, 10}}, RateCase{"30.0", Rational{30, 1}},
        // Not a rate.
        RateCase{"", std::nullopt}, RateCase{".", std::nullopt}, RateCase{"0", std::nullopt},
        RateCase{"0/1", std::nullopt}, RateCase{"25/0", std::nullopt},
        RateCase{"-25", std::nullopt}, RateCase{"25fps", std::nullopt},
        RateCase{"2.5/1", std::nullopt}, RateCase{"1.2.3", std::nullopt},
        RateCase{"1e3", std::nullopt}, RateCase{" 25", std::nullopt},
        RateCase{"1001", std::nullopt}, RateCase{"9999999999/1", std::nullopt}));

}  // namespace
}  // namespace korvu::enc
