#include "job/value_forms.h"

#include <gtest/gtest.h>

namespace korvu::job {
namespace {

struct IntegerCase {
  const char* value;
  std::optional<std::int32_t> read;
};

class ReadIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ReadIntegerTest, Reads) {
  EXPECT_EQ(ReadInteger(GetParam().value), GetParam().read) << '"' << GetParam().value << '"';
}

INSTANTIATE_TEST_SUITE_P(Decimal, ReadIntegerTest,
                         testing::Values(IntegerCase{"0", 0}, IntegerCase{"1500", 1500},
                                         IntegerCase{"+7", 7}, IntegerCase{"-7", -7},
                                         IntegerCase{"007", 7}, IntegerCase{"-0", 0},
                                         IntegerCase{"2147483647", 2147483647},
                                         IntegerCase{"-2147483648", -2147483647 - 1},
                                         IntegerCase{"0000000000002147483647", 2147483647},
                                         IntegerCase{"2147483648", std::nullopt},
                                         IntegerCase{"-2147483649", std::nullopt},
                                         IntegerCase{"99999999999999999999", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, ReadIntegerTest,
    testing::Values(IntegerCase{"$5DC", 1500}, IntegerCase{"$5dc", 1500}, IntegerCase{"x5dC", 1500},
                    IntegerCase{"X5DC", 1500}, IntegerCase{"0x5dc", 1500},
                    IntegerCase{"0X5DC", 1500}, IntegerCase{"+$10", 16}, IntegerCase{"-$10", -16},
                    IntegerCase{"-0x10", -16}, IntegerCase{"$7FFFFFFF", 2147483647},
                    IntegerCase{"$FFFFFFFF", -1}, IntegerCase{"0xffffffff", -1},
                    IntegerCase{"$80000000", -2147483647 - 1},
                    IntegerCase{"-$80000000", -2147483647 - 1}, IntegerCase{"-$FFFFFFFF", 1},
                    IntegerCase{"$000000000001", 1},          // leading zeros are not significant
                    IntegerCase{"$100000000", std::nullopt},  // nine significant digits
                    IntegerCase{"0x", std::nullopt}, IntegerCase{"$", std::nullopt},
                    IntegerCase{"x", std::nullopt}, IntegerCase{"$-1", std::nullopt},
                    IntegerCase{"$G", std::nullopt}, IntegerCase{"00x1", std::nullopt},
                    IntegerCase{"0x 1", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    NotIntegers, ReadIntegerTest,
    testing::Values(IntegerCase{"", std::nullopt}, IntegerCase{"+", std::nullopt},
                    IntegerCase{"-", std::nullopt}, IntegerCase{"1,500", std::nullopt},
                    IntegerCase{"1 500", std::nullopt}, IntegerCase{" 15", std::nullopt},
                    IntegerCase{"2.5", std::nullopt}, IntegerCase{"1500kbit", std::nullopt},
                    IntegerCase{"1e3", std::nullopt}, IntegerCase{"true", std::nullopt},
                    IntegerCase{"+-1", std::nullopt}, IntegerCase{"--1", std::nullopt},
                    IntegerCase{"\xEF\xBC\x91", std::nullopt}));  // a full-width digit one

struct FlagCase {
  const char* value;
  std::optional<bool> read;
};

class ReadFlagTest : public testing::TestWithParam<FlagCase> {};

TEST_P(ReadFlagTest, Reads) {
  EXPECT_EQ(ReadFlag(GetParam().value), GetParam().read) << '"' << GetParam().value << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadFlagTest,
                         testing::Values(FlagCase{"0", false}, FlagCase{"1", true},
                                         FlagCase{"2", true}, FlagCase{"-1", true},
                                         FlagCase{"$0", false}, FlagCase{"000", false},
                                         FlagCase{"yes", std::nullopt},
                                         FlagCase{"true", std::nullopt},
                                         FlagCase{"", std::nullopt}));

}  // namespace
}  // namespace korvu::job
