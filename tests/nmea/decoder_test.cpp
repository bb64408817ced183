// Runs the gpsdesk-decode program itself: golden outputs for the recorded
// logs in tests/data/nmea, and its exit status on odd input.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "shell_run.h"

namespace {

using test_shell::Decoder;
using test_shell::ReadFile;
using test_shell::RunShell;
using test_shell::ShellRun;

std::string Data(const std::string& name) { return std::string(GPSDESK_TEST_DATA) + "/nmea/" + name; }

class Recording : public testing::TestWithParam<const char*> {};

// The expected files are regenerated with GPSDESK_REGEN=1 in the environment;
// explain every change to them in the commit that makes it.
TEST_P(Recording, MatchesGoldenOutput) {
  const std::string base = Data(GetParam());
  ShellRun r = RunShell(Decoder() + " --lf '" + base + ".nmea'");
  ASSERT_EQ(r.status, 0);
  if (std::getenv("GPSDESK_REGEN")) {
    std::ofstream(base + ".jsonl", std::ios::binary) << r.out;
  }
  const std::string golden = ReadFile(base + ".jsonl");
  ASSERT_FALSE(golden.empty()) << "missing " << base << ".jsonl";
  EXPECT_EQ(r.out, golden);
}

INSTANTIATE_TEST_SUITE_P(Logs, Recording,
                         testing::Values("gpsd-gp-320fw-2019-04-07-coldboot", "gpsd-haicom-305N",
                                         "gpsd-myguide-3100", "gpsd-neo-m8n", "gpsd-nmea-rtk",
                                         "gpsd-telit-he910"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(Decoder, FollowsTheLiveLineRules) {
  // CR ends lines; without --lf a Unix file interprets nothing and says why.
  ShellRun cr = RunShell("printf '$GPRMC,1,A,,,,,10,90\\r\\n$GPGGA,1\\n' | " + Decoder());
  EXPECT_EQ(cr.status, 0);
  EXPECT_EQ(cr.out,
            "{\"sentence\":\"$GPRMC,1,A,,,,,10,90\",\"texts\":{\"1096\":\"18 km/h\",\"1097\":\"90\"},"
            "\"actions\":[]}\n");
  ShellRun lf = RunShell("printf '$GPGGA,1\\n' | " + Decoder() + " 2>&1");
  EXPECT_EQ(lf.status, 0);
  EXPECT_NE(lf.out.find("--lf"), std::string::npos);
}

TEST(Decoder, ReportsSetsStateAndEscapes) {
  ShellRun r = RunShell("printf '$GPGSV,1,1,01,07,45,120,38\\r$PVLX600 Velorin QK7720,\"v\\\\1\"\\r' | " +
                        Decoder() + " --state -");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\"actions\":[\"redrawViews\"],\"svInView\":1,\"slots\":[{\"prn\":7,\"elevation\":45,"
                       "\"azimuth\":120,\"snr\":38,\"used\":0}]"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"1092\":\"\\\"v\\\\1\\\"\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"actions\":[\"restartTtff\"]"), std::string::npos);
  EXPECT_NE(r.out.find("\"state\":{\"svInView\":1,"), std::string::npos);
}

TEST(Decoder, MissingFileAndBadOptionsExitTwo) {
  ShellRun missing = RunShell(Decoder() + " /nonexistent/file.nmea 2>&1");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.out.find("cannot open /nonexistent/file.nmea"), std::string::npos);
  EXPECT_EQ(RunShell(Decoder() + " --bogus 2>/dev/null").status, 2);
}

TEST(Decoder, HostileBytesExitZero) {
  std::mt19937 rng(12345);
  std::string bytes;
  for (int i = 0; i < 200000; ++i) {
    unsigned v = rng() % 64;
    bytes += v < 4 ? '$' : v < 8 ? ',' : v < 10 ? '\r' : v < 11 ? '*' : static_cast<char>(rng());
  }
  char path[] = "/tmp/gpsdesk-decode-XXXXXX";
  int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
  ShellRun r = RunShell(Decoder() + " --state " + path + " >/dev/null; echo $?");
  ::unlink(path);
  EXPECT_EQ(r.out, "0\n");
}

}  // namespace
