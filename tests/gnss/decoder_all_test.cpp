// gpsdesk-decode --all: golden outputs for every shared recording, and the
// multi-constellation state with --state.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string>

#include "nmea/shell_run.h"

namespace {

using test_shell::Decoder;
using test_shell::ReadFile;
using test_shell::RunShell;
using test_shell::ShellRun;

class AllConstellations : public testing::TestWithParam<const char*> {};

// Regenerate with GPSDESK_REGEN=1 (as the GPS-only goldens); explain every
// change in the commit that makes it. The GPS-only goldens (*.jsonl) are
// checked unchanged by the Logs tests.
TEST_P(AllConstellations, MatchesGoldenOutput) {
  const std::string base = std::string(GPSDESK_TEST_DATA) + "/nmea/" + GetParam();
  ShellRun r = RunShell(Decoder() + " --all --lf '" + base + ".nmea'");
  ASSERT_EQ(r.status, 0);
  if (std::getenv("GPSDESK_REGEN")) {
    std::ofstream(base + ".all.jsonl", std::ios::binary) << r.out;
  }
  const std::string golden = ReadFile(base + ".all.jsonl");
  ASSERT_FALSE(golden.empty()) << "missing " << base << ".all.jsonl";
  EXPECT_EQ(r.out, golden);
}

INSTANTIATE_TEST_SUITE_P(Logs, AllConstellations,
                         testing::Values("gpsd-gp-320fw-2019-04-07-coldboot", "gpsd-haicom-305N",
                                         "gpsd-myguide-3100", "gpsd-neo-m8n", "gpsd-nmea-rtk",
                                         "gpsd-telit-he910"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(DecoderAll, StateListsTheSkyByKey) {
  ShellRun r = RunShell(
      "printf '$GAGSV,1,1,02,05,45,120,38,09,10,300,\\r$GPGSV,1,1,01,05,30,200,41\\r"
      "$GNGSA,A,3,05,,,,,,,,,,,,1.0,1.0,1.0,3\\r' | " +
      Decoder() + " --all --state");
  EXPECT_EQ(r.status, 0);
  // Galileo 5 and GPS 5 are two satellites; the sky is in key order.
  EXPECT_NE(r.out.find("\"svInView\":3,\"sky\":[{\"sys\":\"GPS\",\"svid\":5,\"label\":\"G05\",\"el\":30,"
                       "\"az\":200,\"cno\":41,\"used\":0,\"signals\":[0]},{\"sys\":\"Galileo\",\"svid\":5,"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"label\":\"E09\",\"el\":10,\"az\":300,\"cno\":null,\"used\":0,\"signals\":[]"),
            std::string::npos)
      << r.out;
  // The GSA (system 3 = Galileo) marks E05, not G05.
  EXPECT_NE(r.out.find("\"texts\":{\"1089\":\"SVs in use  : 1\",\"1085\":\"PDOP=1.0\""), std::string::npos);
  EXPECT_NE(r.out.find("\"state\":{\"inUse\":1,\"used\":[\"E05\"],\"svInView\":3,"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"label\":\"E05\",\"el\":45,\"az\":120,\"cno\":38,\"used\":1"), std::string::npos);
}

TEST(DecoderAll, WithoutAllTheGnSentencesStillChangeNothing) {
  const std::string in = "printf '$GNGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\\r' | ";
  EXPECT_EQ(RunShell(in + Decoder()).out,
            "{\"sentence\":\"$GNGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\",\"texts\":{},"
            "\"actions\":[]}\n");
  EXPECT_NE(RunShell(in + Decoder() + " --all").out.find("\"1080\":\"N048\""), std::string::npos);
}

}  // namespace
