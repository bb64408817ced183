#include "nmea/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using nmea::AtoF;
using nmea::AtoI;
using nmea::TruncToInt;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(AtoI, ReadsLikeTheCLibrary) {
  EXPECT_EQ(AtoI("42"), 42);
  EXPECT_EQ(AtoI("  \t-17xyz"), -17);
  EXPECT_EQ(AtoI("+08"), 8);
  EXPECT_EQ(AtoI("3.9"), 3);
  EXPECT_EQ(AtoI(""), 0);
  EXPECT_EQ(AtoI("abc"), 0);
  EXPECT_EQ(AtoI("- 5"), 0);
  EXPECT_EQ(AtoI("\x80"
                 "5"),
            0);
}

TEST(AtoI, SaturatesOutOfRange) {
  EXPECT_EQ(AtoI("2147483647"), kMax);
  EXPECT_EQ(AtoI("-2147483648"), kMin);
  EXPECT_EQ(AtoI("2147483648"), kMax);
  EXPECT_EQ(AtoI("-2147483649"), kMin);
  EXPECT_EQ(AtoI(std::string(5000, '9')), kMax);
  EXPECT_EQ(AtoI("-" + std::string(5000, '9')), kMin);
}

TEST(AtoF, ReadsLikeTheCLibraryInAnyLocale) {
  EXPECT_DOUBLE_EQ(AtoF("022.4"), 22.4);
  EXPECT_DOUBLE_EQ(AtoF(" -1.5e2m"), -150.0);
  EXPECT_DOUBLE_EQ(AtoF(""), 0.0);
  EXPECT_DOUBLE_EQ(AtoF("x1"), 0.0);
  EXPECT_DOUBLE_EQ(AtoF("0x10"), 16.0);
  EXPECT_TRUE(std::isinf(AtoF("inf")));
  EXPECT_TRUE(std::isnan(AtoF("nan")));
  EXPECT_TRUE(std::isinf(AtoF("1e999")));
  // A field longer than the small buffer still reads completely.
  EXPECT_DOUBLE_EQ(AtoF(std::string(300, '0') + "1.25"), 1.25);
  // The decimal point stays "." even when the process locale says ",".
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
    EXPECT_DOUBLE_EQ(AtoF("1.5"), 1.5);
    std::setlocale(LC_NUMERIC, "C");
  }
}

TEST(TruncToInt, DefinedForEveryDouble) {
  EXPECT_EQ(TruncToInt(41.99), 41);
  EXPECT_EQ(TruncToInt(-41.99), -41);
  EXPECT_EQ(TruncToInt(std::nan("")), 0);
  EXPECT_EQ(TruncToInt(INFINITY), kMax);
  EXPECT_EQ(TruncToInt(-INFINITY), kMin);
  EXPECT_EQ(TruncToInt(1e300), kMax);
  EXPECT_EQ(TruncToInt(-1e300), kMin);
  EXPECT_EQ(TruncToInt(2147483646.9), 2147483646);
}

}  // namespace
