// The command line: every option lands where the simulator reads it, and a
// wrong value is refused with a reason instead of being half taken.

#include "sim/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace sim {
namespace {

std::string Parse(std::vector<const char*> args, ProgramOptions& out) {
  args.insert(args.begin(), "gpsdesk-sim");
  return ParseOptions(static_cast<int>(args.size()), args.data(), out);
}

TEST(Options, EveryOptionTakesEffect) {
  ProgramOptions o;
  ASSERT_EQ(Parse({"--com",    "4",      "--lat=-33.5", "--lon", "151.25",  "--alt", "12",           "--walk",
                   "--rate",   "10",     "--baud",      "4800",  "--start", "cold",  "--ttff-scale", "0.01",
                   "--replay", "a.nmea", "--noise",     "0.1",   "--seed",  "42"},
                  o),
            "");
  EXPECT_EQ(o.com, 4);
  EXPECT_EQ(o.sim.model.origin.latitude, -33.5);
  EXPECT_EQ(o.sim.model.origin.longitude, 151.25);
  EXPECT_EQ(o.sim.model.origin.altitude, 12.0);
  EXPECT_EQ(o.sim.model.walkSpeed, 1.4);
  EXPECT_EQ(o.sim.rateHz, 10);
  EXPECT_EQ(o.sim.baud, 4800u);
  EXPECT_EQ(o.sim.model.powerOn, RestartKind::Cold);
  EXPECT_EQ(o.sim.model.ttffScale, 0.01);
  EXPECT_EQ(o.replayPath, "a.nmea");
  EXPECT_EQ(o.sim.noise, 0.1);
  EXPECT_EQ(o.sim.seed, 42u);
  EXPECT_FALSE(o.help);
}

TEST(Options, WrongValuesAreRefused) {
  const std::vector<std::vector<const char*>> wrong = {
      {"--com", "0"},   {"--com", "256"},   {"--lat", "91"},       {"--lat", "north"}, {"--rate", "0"},
      {"--rate", "21"}, {"--baud", "1000"}, {"--start", "tepid"},  {"--noise", "1.5"}, {"--ttff-scale", "-1"},
      {"--com"},        {"--walk=2"},       {"--frobnicate", "1"}, {"--lon", "nan"},   {"--seed", "-1"},
  };
  for (const auto& args : wrong) {
    ProgramOptions o;
    EXPECT_NE(Parse(args, o), "") << args[0];
  }
}

}  // namespace
}  // namespace sim
