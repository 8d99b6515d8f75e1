#include "common/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zelk {
namespace {

TEST(Numbers, ReadsTheLeadingNumber) {
    EXPECT_EQ(ReadNumber("42"), 42.0);
    EXPECT_EQ(ReadNumber("  -12abc"), -12.0);
    EXPECT_EQ(ReadNumber("+7"), 7.0);
    EXPECT_EQ(ReadNumber("3.25,100"), 3.25);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("1.5e3"), 1500.0);
    EXPECT_EQ(ReadNumber("2D2"), 200.0);
    EXPECT_EQ(ReadNumber("1e"), 1.0);
    EXPECT_EQ(ReadNumber("1e-"), 1.0);
}

TEST(Numbers, SkipsBlanksInsideTheNumber) {
    EXPECT_EQ(ReadNumber("1 2 3"), 123.0);
    EXPECT_EQ(ReadNumber("\t- 5"), -5.0);
}

TEST(Numbers, TextWithoutANumberReadsZero) {
    EXPECT_EQ(ReadNumber(""), 0.0);
    EXPECT_EQ(ReadNumber("abc"), 0.0);
    EXPECT_EQ(ReadNumber("-"), 0.0);
    EXPECT_EQ(ReadNumber("--5"), 0.0);
    EXPECT_EQ(ReadNumber("+-5"), 0.0);
    EXPECT_EQ(ReadNumber("."), 0.0);
    EXPECT_EQ(ReadNumber("True"), 0.0);
    EXPECT_EQ(ReadNumber("１２"), 0.0);  // full-width digits are not digits
}

TEST(Numbers, ReadsHexadecimalAfterAmpersandH) {
    EXPECT_EQ(ReadNumber("&hFF"), 255.0);
    EXPECT_EQ(ReadNumber("&HFFFFFF"), 16777215.0);
    EXPECT_EQ(ReadNumber("&HFFFF"), 65535.0);
    EXPECT_EQ(ReadNumber("&HFFFFFFFF"), -1.0);
    EXPECT_EQ(ReadNumber("&h1G"), 1.0);
    EXPECT_EQ(ReadNumber("&h"), 0.0);
    EXPECT_EQ(ReadNumber("&x12"), 0.0);
}

TEST(Numbers, HugeNumbersStayFinite) {
    EXPECT_GT(ReadNumber("1e999"), 1e300);
    EXPECT_EQ(ReadNumber("1e-999"), 0.0);
    EXPECT_EQ(ReadLong("1e999"), INT32_MAX);
    EXPECT_EQ(ReadLong("-1e999"), INT32_MIN);
}

TEST(Numbers, RoundToLongRoundsHalvesToEven) {
    EXPECT_EQ(RoundToLong(2.5), 2);
    EXPECT_EQ(RoundToLong(3.5), 4);
    EXPECT_EQ(RoundToLong(-2.5), -2);
    EXPECT_EQ(RoundToLong(2.51), 3);
    EXPECT_EQ(RoundToLong(-0.4), 0);
}

TEST(Numbers, RoundToLongClamps) {
    EXPECT_EQ(RoundToLong(1e12), INT32_MAX);
    EXPECT_EQ(RoundToLong(-1e12), INT32_MIN);
    EXPECT_EQ(RoundToLong(std::nan("")), 0);
}

TEST(Numbers, ReadLongCombinesBoth) {
    EXPECT_EQ(ReadLong("80"), 80);
    EXPECT_EQ(ReadLong("0.5"), 0);
    EXPECT_EQ(ReadLong("1.5px"), 2);
    EXPECT_EQ(ReadLong("&h10"), 16);
}

}  // namespace
}  // namespace zelk
