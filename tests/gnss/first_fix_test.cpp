// The rule that ends the time-to-first-fix count in the "All constellations"
// mode: GSA where the receiver sends GSA, GGA and RMC where it does not.

#include "gnss/first_fix.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "gnss_test_support.h"

namespace {

using gnss_test::Nmea;

// Feeds `lines` and returns the index of every line the rule reports a fix at.
std::vector<int> FixesAt(gnss::GnssModel& m, gnss::FirstFixRule& rule,
                         const std::vector<std::string>& lines) {
  std::vector<int> at;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (rule.Fed(m.Feed(lines[i]), m)) at.push_back(static_cast<int>(i));
  return at;
}

std::string Gga(const std::string& talker, const std::string& time, int quality) {
  return Nmea(talker + "GGA," + time + ",4807.038,N,01131.000,E," + std::to_string(quality) +
              ",08,0.9,545.4,M,46.9,M,,");
}
std::string Rmc(const std::string& time, const std::string& status, const std::string& mode) {
  return Nmea("GNRMC," + time + "," + status + ",4807.038,N,01131.000,E,0.1,,230394,,," + mode);
}

TEST(FirstFix, PositionFixReportedTable) {
  gnss::EpochSummary e;
  EXPECT_FALSE(gnss::PositionFixReported(e));
  for (int q = 0; q <= 8; ++q) {
    e.ggaQuality = q;
    EXPECT_EQ(gnss::PositionFixReported(e), q >= 1 && q <= 5) << q;
  }
  e.ggaQuality.reset();
  e.rmcStatus = 'V';
  EXPECT_FALSE(gnss::PositionFixReported(e));
  e.rmcStatus = 'A';
  for (char mode : {'\0', 'A', 'D', 'F', 'R', 'P'}) {
    e.rmcMode = mode;
    EXPECT_TRUE(gnss::PositionFixReported(e)) << mode;
  }
  for (char mode : {'N', 'E', 'M', 'S'}) {
    e.rmcMode = mode;
    EXPECT_FALSE(gnss::PositionFixReported(e)) << mode;
  }
}

TEST(FirstFix, AnyTalkersGsaWithTwoOrThreeDimensions) {
  gnss::GnssModel m;
  gnss::FirstFixRule rule;
  const std::vector<std::string> lines = {
      Gga("GN", "120000.00", 0),
      Nmea("GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9"),
      Gga("GN", "120001.00", 1),  // a fix by GGA, but this receiver sends GSA: GSA decides
      Nmea("GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9"),
      Gga("GN", "120002.00", 1),
      Nmea("GLGSA,A,2,65,66,67,,,,,,,,,,3.1,2.2,2.2"),  // 5: the fix
      Nmea("BDGSA,A,3,201,,,,,,,,,,,,3.1,2.2,2.2"),     // 6: reported again
  };
  EXPECT_EQ(FixesAt(m, rule, lines), (std::vector<int>{5, 6}));
  EXPECT_TRUE(rule.SendsGsa());
}

TEST(FirstFix, ReceiverWithoutGsaByGgaQualityOrRmcStatus) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<int> fixes;
  };
  const Case cases[] = {
      // The first epoch is judged when it closes: at the next epoch's GGA.
      {"first epoch has it",
       {Gga("GN", "120000.0", 2), Rmc("120000.0", "A", "D"), Gga("GN", "120000.1", 2)},
       {2}},
      // Once known, at the sentence itself.
      {"later GGA", {Gga("GN", "120000.0", 0), Gga("GN", "120000.1", 0), Gga("GP", "120000.2", 4)}, {2}},
      {"later RMC", {Gga("GN", "120000.0", 0), Gga("GN", "120000.1", 0), Rmc("120000.1", "A", "A")}, {2}},
      {"estimated, manual, simulated",
       {Gga("GN", "120000.0", 6), Gga("GN", "120000.1", 7), Gga("GN", "120000.2", 8),
        Rmc("120000.2", "A", "E"), Rmc("120000.3", "V", "A")},
       {}},
  };
  for (const Case& c : cases) {
    gnss::GnssModel m;
    gnss::FirstFixRule rule;
    EXPECT_EQ(FixesAt(m, rule, c.lines), c.fixes) << c.name;
    EXPECT_FALSE(rule.SendsGsa()) << c.name;
  }
}

TEST(FirstFix, ResetForgetsWhatTheReceiverSends) {
  gnss::GnssModel m;
  gnss::FirstFixRule rule;
  FixesAt(m, rule, {Nmea("GNGSA,A,1,,,,,,,,,,,,,,,"), Gga("GN", "120000.0", 1), Gga("GN", "120000.1", 1)});
  EXPECT_TRUE(rule.SendsGsa());
  m.Reset();
  rule.Reset();
  EXPECT_EQ(FixesAt(m, rule, {Gga("GN", "120000.0", 1), Gga("GN", "120000.1", 1)}), (std::vector<int>{1}));
}

// The shared recordings, where the first fix was read off the files by hand:
// gpsd-neo-m8n reports "A,3" in its first GNGSA (line 8); gpsd-nmea-rtk sends
// no GSA and its first GNGGA has quality 2, so its first epoch is a fix,
// known at the next GNGGA (line 3).
TEST(FirstFix, SharedRecordings) {
  for (const auto& [name, line] : {std::pair<const char*, int>{"gpsd-neo-m8n", 8}, {"gpsd-nmea-rtk", 3}}) {
    std::ifstream in(std::string(GPSDESK_TEST_DATA) + "/nmea/" + name + ".nmea", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      lines.push_back(l);
    }
    gnss::GnssModel m;
    gnss::FirstFixRule rule;
    const std::vector<int> fixes = FixesAt(m, rule, lines);
    ASSERT_FALSE(fixes.empty()) << name;
    EXPECT_EQ(fixes.front() + 1, line) << name;
  }
}

}  // namespace
