// The receiver model on explicit times: the sky it sees, the fix it has after
// each kind of restart, where it is, and the sentences the tool reads from it.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "nmea/sentence.h"
#include "resources/main_ids.h"
#include "sim/constellation.h"
#include "sim/nmea_output.h"
#include "sim/receiver_model.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using sim_test::Lines;
using sim_test::ToolView;

constexpr Millis kT0 = 1750000000000;  // 2025-06-15 15:06:40 UTC
constexpr Millis kMinute = 60000;
constexpr Millis kHour = 60 * kMinute;

const Geodetic kPlaces[] = {{47.4, 8.5, 400}, {0, 0, 0}, {-33.9, -70.7, 500}, {78.2, 15.6, 10}};

double MetresBetween(const Geodetic& a, const Geodetic& b) {
  const double north = (b.latitude - a.latitude) * 111320.0;
  const double east = (b.longitude - a.longitude) * 111320.0 * std::cos(a.latitude * M_PI / 180.0);
  return std::hypot(north, east);
}

int Visible(const std::array<SatDirection, kConstellationSize>& sky) {
  int n = 0;
  for (const SatDirection& d : sky) n += d.elevation > 0 ? 1 : 0;
  return n;
}

TEST(Constellation, EnoughSatellitesEverywhereAllDay) {
  for (const Geodetic& place : kPlaces) {
    for (Millis t = kT0; t < kT0 + 24 * kHour; t += 20 * kMinute) {
      const auto sky = SkyAt(place, t);
      EXPECT_GE(Visible(sky), 5) << place.latitude << " at " << t;
      EXPECT_LE(Visible(sky), 14) << place.latitude << " at " << t;
      for (const SatDirection& d : sky) {
        EXPECT_GE(d.azimuth, 0.0);
        EXPECT_LT(d.azimuth, 360.0);
      }
    }
  }
}

TEST(Constellation, SatellitesDriftSlowlyAndRiseAndSet) {
  const Geodetic place = kPlaces[0];
  const auto now = SkyAt(place, kT0);
  const auto soon = SkyAt(place, kT0 + 10000);
  const auto later = SkyAt(place, kT0 + 10 * kMinute);
  double largestStep = 0, largestDrift = 0;
  for (std::size_t i = 0; i < now.size(); ++i) {
    largestStep = std::max(largestStep, std::fabs(soon[i].elevation - now[i].elevation));
    largestDrift = std::max(largestDrift, std::fabs(later[i].elevation - now[i].elevation));
  }
  EXPECT_LT(largestStep, 0.3);   // degrees in 10 s
  EXPECT_GT(largestDrift, 2.0);  // but clearly moving over 10 min

  std::set<int> upNow, upLater;
  for (const SatDirection& d : now) {
    if (d.elevation > 0) upNow.insert(d.prn);
  }
  for (const SatDirection& d : SkyAt(place, kT0 + 4 * kHour)) {
    if (d.elevation > 0) upLater.insert(d.prn);
  }
  EXPECT_NE(upNow, upLater);
}

TEST(Dops, FollowTheGeometry) {
  // One satellite overhead and three low ones around: a good 3D geometry.
  const std::vector<SatDirection> good{{1, 90, 0}, {2, 10, 0}, {3, 10, 120}, {4, 10, 240}};
  const Dops d3 = DopsOf(good, false);
  ASSERT_TRUE(d3.valid);
  EXPECT_NEAR(d3.pdop * d3.pdop, d3.hdop * d3.hdop + d3.vdop * d3.vdop, 1e-9);
  EXPECT_GT(d3.pdop, 1.0);
  EXPECT_LT(d3.pdop, 4.0);

  const Dops d2 = DopsOf({good[1], good[2], good[3]}, true);
  ASSERT_TRUE(d2.valid);
  EXPECT_EQ(d2.vdop, 0.0);
  EXPECT_EQ(d2.pdop, d2.hdop);

  // Everything from one direction gives no solution; too few satellites neither.
  EXPECT_FALSE(DopsOf({{1, 40, 90}, {2, 40, 90}, {3, 40, 90}, {4, 40, 90}}, false).valid);
  EXPECT_FALSE(DopsOf({good[0], good[1], good[2]}, false).valid);

  // Clustered satellites dilute more than spread ones.
  const std::vector<SatDirection> clustered{{1, 60, 10}, {2, 55, 20}, {3, 65, 30}, {4, 50, 15}};
  EXPECT_GT(DopsOf(clustered, false).pdop, d3.pdop);
}

TEST(RestartTiming, OnlyAFactoryStartForgetsWhichSatellitesAreUp) {
  ReceiverModel model(ModelOptions{}, kT0);
  model.Restart(RestartKind::Cold, kT0);
  const Observation cold = model.Observe(kT0 + 1);
  EXPECT_GE(cold.inView.size(), 5u);
  for (const SatObservation& s : cold.inView) EXPECT_EQ(s.snr, 0) << s.prn;  // known, not yet tracked

  model.Restart(RestartKind::Factory, kT0);
  EXPECT_TRUE(model.Observe(kT0 + 1).inView.empty());
  EXPECT_EQ(model.Observe(kT0 + TimingOf(RestartKind::Factory, 1.0).noFix).inView.size(), 3u);
}

TEST(Motion, StandingStillWandersByMetresOnly) {
  ModelOptions options;
  ReceiverModel model(options, kT0);
  for (Millis t = kT0; t < kT0 + 30 * kMinute; t += 7000) {
    const Observation o = model.Observe(t);
    EXPECT_LT(MetresBetween(options.origin, o.position), 5.0);
    EXPECT_EQ(o.speed, 0.0);
  }
}

TEST(Motion, WalkingGoesRoundACircle) {
  ModelOptions options;
  options.walkSpeed = 1.4;
  ReceiverModel model(options, kT0);
  const double radius = 1.4 * 1200 / (2 * M_PI);
  const Observation quarter = model.Observe(kT0 + 300000);
  EXPECT_NEAR(MetresBetween(options.origin, quarter.position), radius * std::sqrt(2.0), 5.0);
  EXPECT_NEAR(quarter.course, 90.0, 0.01);
  EXPECT_EQ(quarter.speed, 1.4);
  EXPECT_NEAR(MetresBetween(options.origin, model.Observe(kT0 + 600000).position), 2 * radius, 5.0);
  EXPECT_LT(MetresBetween(options.origin, model.Observe(kT0 + 1200000).position), 5.0);
}

// --- What the tool reads

Observation Settled(const Geodetic& where, Millis t) {
  ModelOptions options;
  options.origin = where;
  ReceiverModel model(options, t - kMinute);
  return model.Observe(t);
}

TEST(Output, EverySentenceIsWellFramedWithAndWithoutFix) {
  ReceiverModel model(ModelOptions{}, kT0);
  model.Restart(RestartKind::Cold, kT0);
  const Observation none = model.Observe(kT0 + 20000);  // some satellites tracked, no fix
  ASSERT_EQ(none.fix, FixState::None);
  for (const Observation& o : {none, Settled(kPlaces[0], kT0)}) {
    for (int m = 0; m < kMessageCount; ++m) {
      const std::string text = FormatMessage(static_cast<Message>(m), o);
      ASSERT_GE(text.size(), 2u);
      EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
      for (const std::string& line : Lines(text)) {
        EXPECT_TRUE(sim_test::ChecksumOk(line)) << line;
        EXPECT_EQ(nmea::FieldView(line, 1), "$GP" + std::string(MessageName(static_cast<Message>(m))))
            << line;
        EXPECT_LE(line.size() + 2, 82u) << line;
      }
    }
  }
}

TEST(Output, TheToolShowsTheFixPositionAndSatellites) {
  for (const Geodetic& place : {kPlaces[0], kPlaces[2]}) {
    const Observation o = Settled(place, kT0);
    ASSERT_EQ(o.fix, FixState::ThreeD);
    OutputConfig all;
    all.order = {Message::Gga, Message::Gll, Message::Gsa, Message::Gsv,
                 Message::Rmc, Message::Vtg, Message::Zda};
    ToolView tool;
    tool.Read(EpochText(all, 0, o));

    EXPECT_EQ(tool.Text(ids::kFix), "Fix : 3D");
    EXPECT_EQ(tool.Text(ids::kUtc), "UTC = 15:06:40");
    EXPECT_EQ(tool.Text(ids::kSvsInUse), "SVs in use  : " + std::to_string(o.usedPrns.size()));
    EXPECT_NEAR(tool.state.latitude, o.position.latitude * 600000, 1.0);
    EXPECT_NEAR(tool.state.longitude, o.position.longitude * 600000, 1.0);
    EXPECT_EQ(tool.redraws, 1);
    EXPECT_EQ(tool.state.svInView, static_cast<int>(o.inView.size()));
    for (const SatObservation& s : o.inView) {
      const nmea::SatInfo* seen = tool.state.SatFor(s.prn);
      ASSERT_NE(seen, nullptr);
      EXPECT_EQ(*seen, (nmea::SatInfo{s.snr, s.elevation, s.azimuth, s.used ? 1 : 0})) << s.prn;
      EXPECT_GT(s.snr, 0);
    }
  }
}

}  // namespace
}  // namespace sim
