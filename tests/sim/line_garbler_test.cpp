// A line read at the wrong speed, and noise put in on purpose.

#include "sim/line_garbler.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim_test_support.h"

namespace sim {
namespace {

const std::string kText =
    sim_test::Command("$GPGGA,150640.000,4722.6146,N,00832.5021,E,1,08,1.0,409.7,M,0.0,M,,") +
    sim_test::Command("$GPGSA,A,3,01,03,05,08,09,11,13,14,,,,,1.9,1.0,1.6");

TEST(MismatchedLine, SameSpeedOrUnknownSpeedPassesUnchanged) {
  EXPECT_EQ(ThroughMismatchedLine(kText, 9600, 9600), kText);
  EXPECT_EQ(ThroughMismatchedLine(kText, 0, 9600), kText);
}

TEST(MismatchedLine, SpeedsAFewPerCentApartStillReadCorrectly) {
  // Real UARTs tolerate a few per cent; the bit-level model must too.
  EXPECT_EQ(ThroughMismatchedLine(kText, 9600, 9800), kText);
  EXPECT_EQ(ThroughMismatchedLine(kText, 9600, 9400), kText);
  EXPECT_EQ(ThroughMismatchedLine(kText, 115200, 112000), kText);
}

TEST(MismatchedLine, WrongSpeedGivesGarbageThatIsAlwaysTheSame) {
  for (const auto& [sender, receiver] : {std::pair<std::uint32_t, std::uint32_t>{9600, 4800},
                                         {4800, 9600},
                                         {9600, 19200},
                                         {57600, 9600},
                                         {9600, 10800}}) {
    const std::string once = ThroughMismatchedLine(kText, sender, receiver);
    EXPECT_EQ(once, ThroughMismatchedLine(kText, sender, receiver));
    EXPECT_NE(once, kText) << sender << " read at " << receiver;
    EXPECT_EQ(once.find("$GP"), std::string::npos) << sender << " read at " << receiver;
  }
}

TEST(MismatchedLine, ByteCountFollowsTheSpeedRatio) {
  // A fast receiver sees a slow line's bits as several characters, a slow
  // one swallows several of a fast line's characters in one.
  EXPECT_GT(ThroughMismatchedLine(kText, 4800, 19200).size(), kText.size());
  EXPECT_LT(ThroughMismatchedLine(kText, 19200, 4800).size(), kText.size() / 2);
}

TEST(MismatchedLine, ALowStopBitIsAFramingErrorReadAsZero) {
  // At 10 % too fast the receiver samples the stop bit inside the last data
  // bit, which is 0 in every ASCII character: a framing error.
  const std::string read = ThroughMismatchedLine("ABC", 9600, 10600);
  EXPECT_EQ(read.substr(0, 1), std::string(1, '\0'));
  EXPECT_EQ(read.find_first_of("ABC"), std::string::npos);
  // With the top bit set the stop sample is high, and the byte arrives with
  // its last sample taken in bit 6: 1100'0001 reads as 1000'0001.
  EXPECT_EQ(ThroughMismatchedLine("\xC1", 9600, 10600), "\x81");
}

std::string ManyLines() {
  std::string text;
  for (int i = 0; i < 200; ++i) text += kText;
  return text;
}

TEST(Noise, SameSeedSameNoiseOtherSeedOtherNoise) {
  NoiseInjector a(0.2, 7), b(0.2, 7), c(0.2, 8);
  const std::string na = a.Apply(ManyLines());
  EXPECT_EQ(na, b.Apply(ManyLines()));
  EXPECT_NE(na, c.Apply(ManyLines()));
  EXPECT_NE(na, ManyLines());
}

TEST(Noise, RateIsTheFractionOfDamagedLinesAndEachKindOccurs) {
  NoiseInjector noise(0.25, 3);
  const std::vector<std::string> lines = sim_test::Lines(noise.Apply(ManyLines()));
  int broken = 0, zeros = 0, overLong = 0;
  for (const std::string& line : lines) {
    broken += sim_test::ChecksumOk(line) ? 0 : 1;
    zeros += line.find('\0') != std::string::npos ? 1 : 0;
    overLong += line.size() > 82 ? 1 : 0;
  }
  // 400 lines, a quarter damaged, each damage breaking its line's checksum
  // (an over-long line has none); a flipped bit may hit a CR-free line end.
  EXPECT_GT(broken, 70);
  EXPECT_LT(broken, 130);
  EXPECT_GT(zeros, 10);
  EXPECT_GT(overLong, 10);
}

}  // namespace
}  // namespace sim
