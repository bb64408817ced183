// The shared multi-constellation recordings replayed in the "All
// constellations" mode, against values read off the files by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "gnss/interpret_all.h"
#include "gnss_test_support.h"
#include "resources/main_ids.h"

namespace {

using gnss::EpochSummary;
using gnss::GnssModel;

std::vector<std::string> Lines(const std::string& name) {
  std::ifstream in(std::string(GPSDESK_TEST_DATA) + "/nmea/" + name + ".nmea", std::ios::binary);
  std::vector<std::string> out;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '$') out.push_back(line);
  }
  return out;
}

struct Replay : gnss::EpochListener {
  GnssModel model;
  std::map<int, std::string> shown;  // the last text of every control
  std::vector<EpochSummary> epochs;
  int stops = 0;
  int redraws = 0;
  explicit Replay(const std::string& name) {
    model.SetEpochListener(this);
    nmea::Interpretation r;
    for (const std::string& s : Lines(name)) {
      gnss::InterpretAll(s, model, r);
      for (const auto& [id, text] : r.texts) shown[id] = text;
      stops += r.stopTtff;
      redraws += r.redrawViews;
    }
    model.Flush();
  }
  void OnEpochClosed(const EpochSummary& e, const GnssModel&) override { epochs.push_back(e); }
  const EpochSummary* At(int hh, int mm, double ss) const {
    const int ms = static_cast<int>(std::lround(((hh * 60 + mm) * 60 + ss) * 1000));
    for (const EpochSummary& e : epochs)
      if (e.utcMs == ms) return &e;
    return nullptr;
  }
};

// u-blox NEO-M8N, NMEA 4.0: GNRMC/GNGGA/GNGLL, two GNGSA per epoch without
// system id (GPS 1-32, then GLONASS 65-96), GPGSV and GLGSV.
TEST(NeoM8n, LastEpochAsReadFromTheFile) {
  const Replay r("gpsd-neo-m8n");
  // The last GNGGA: 171948.00, 4404.13902 N, 12118.85371 W, 1139.4 m.
  // 4.13902' = 4' 8.34"; 18.85371' = 18' 51.22".
  EXPECT_EQ(r.shown.at(ids::kUtc), "UTC = 17:19:48");
  EXPECT_EQ(r.shown.at(ids::kAltitude), "1139.4 m");
  EXPECT_EQ(r.shown.at(ids::kLatitudeDeg), "N044");
  EXPECT_EQ(r.shown.at(ids::kLatitudeMin), "04'08.34\"");
  EXPECT_EQ(r.shown.at(ids::kLongitudeDeg), "W121");
  EXPECT_EQ(r.shown.at(ids::kLongitudeMin), "18'51.22\"");
  // The last GNRMC: 0.059 knots, empty course.
  EXPECT_EQ(r.shown.at(ids::kSpeed), "0 km/h");
  EXPECT_EQ(r.shown.at(ids::kCourse), "0");
  // Epoch 171947 (the last with GSA and GSV): GNGSA lists 01 11 31 14 22 32
  // 04 25 03 (9 GPS) and 67 83 76 82 (4 GLONASS): 13; DOPs 2.02 1.05 1.73.
  // GPGSV lists 13 satellites (01 03 04 08 11 12 14 17 22 23 25 31 32) and
  // GLGSV 10 (66 67 68 75 76 77 78 82 83 84): 23 in view.
  EXPECT_EQ(r.shown.at(ids::kSvsInUse), "SVs in use  : 13");
  EXPECT_EQ(r.shown.at(ids::kPdop), "PDOP=2.02");
  EXPECT_EQ(r.shown.at(ids::kHdop), "HDOP=1.05");
  EXPECT_EQ(r.shown.at(ids::kVdop), "VDOP=1.73");
  EXPECT_EQ(r.shown.at(ids::kFix), "Fix : 3D");
  EXPECT_EQ(r.shown.at(ids::kSvsInView), "SVs in view : 23");

  // The sky: GLONASS 66 is slot 2 (R02), el 37 az 78, C/N0 19 in the last
  // GLGSV, not used; 67 (R03) is used; GPS 12 has an empty C/N0.
  const gnss::SkySat* r02 = gnss_test::Find(r.model, "R02");
  ASSERT_NE(r02, nullptr);
  EXPECT_EQ(r02->elevation, 37);
  EXPECT_EQ(r02->azimuth, 78);
  EXPECT_EQ(r02->cno, 19);
  EXPECT_FALSE(r02->used);
  EXPECT_TRUE(gnss_test::Find(r.model, "R03")->used);
  EXPECT_FALSE(gnss_test::Find(r.model, "G12")->HasCno());
  EXPECT_EQ(r.model.UsedNotInView(), 0);
}

TEST(NeoM8n, EveryEpochOnce) {
  const Replay r("gpsd-neo-m8n");
  // 23 GNRMC from 171926 to 171948, and before them an epoch opened by the
  // GLGSV and the GNGLL of 171925: 24 epochs, one second apart.
  ASSERT_EQ(r.epochs.size(), 24u);
  for (std::size_t i = 0; i < r.epochs.size(); ++i) {
    EXPECT_EQ(r.epochs[i].utcMs, (17 * 3600 + 19 * 60 + 25 + static_cast<int>(i)) * 1000) << i;
  }
  // Every epoch from 171926 to 171947 carries two GNGSA with fix 3: one stop
  // per GSA; the first two epochs redraw per constellation, then once each.
  EXPECT_EQ(r.stops, 44);
  const EpochSummary* e = r.At(17, 19, 47);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->satellitesUsed, 13);
  EXPECT_EQ(e->satellitesInView, 23);
  EXPECT_EQ(e->navMode, 3);
  EXPECT_DOUBLE_EQ(*e->pdop, 2.02);
  EXPECT_EQ(e->ggaQuality, 1);
  EXPECT_EQ(e->ggaSatellites, 12);  // the GGA's own count stops at 12
  EXPECT_NEAR(*e->latitudeDeg, 44 + 4.13910 / 60, 1e-12);
  EXPECT_NEAR(*e->longitudeDeg, -(121 + 18.85369 / 60), 1e-12);
  EXPECT_DOUBLE_EQ(*e->altitudeM, 1139.6);
  EXPECT_DOUBLE_EQ(*e->geoidSeparationM, -21.3);
  EXPECT_EQ(e->date, (gnss::Date{2015, 3, 18}));
  // Epoch 171926: the GLONASS GNGSA lists five (67 83 76 82 68): 9 + 5 = 14.
  const EpochSummary* first = r.At(17, 19, 26);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->satellitesUsed, 14);
  EXPECT_DOUBLE_EQ(*first->hdop, 0.91);
}

// Trimble RTK receiver: GGA and RMC only, 10 Hz, switching between GN and GP.
TEST(NmeaRtk, PositionUtcAndFixQualityAsReadFromTheFile) {
  const Replay r("gpsd-nmea-rtk");
  // The last GNGGA: 133901.50, 4134.50180366 N, 09345.03586734 W, quality 4
  // (RTK fixed), 19 satellites, 280.829 m. The display keeps 7 characters of
  // minutes: 34.5018' = 34' 30.10", 45.0358' = 45' 02.14".
  EXPECT_EQ(r.shown.at(ids::kUtc), "UTC = 13:39:01");
  EXPECT_EQ(r.shown.at(ids::kAltitude), "280.829 m");
  EXPECT_EQ(r.shown.at(ids::kLatitudeDeg), "N041");
  EXPECT_EQ(r.shown.at(ids::kLatitudeMin), "34'30.10\"");
  EXPECT_EQ(r.shown.at(ids::kLongitudeDeg), "W093");
  EXPECT_EQ(r.shown.at(ids::kLongitudeMin), "45'02.14\"");
  EXPECT_EQ(r.shown.at(ids::kCourse), "273.328");
  // No GSA and no GSV in the file: no fix state, no satellite counts.
  EXPECT_EQ(r.shown.count(ids::kSvsInUse), 0u);
  EXPECT_EQ(r.shown.count(ids::kSvsInView), 0u);
  EXPECT_EQ(r.shown.count(ids::kFix), 0u);
  EXPECT_EQ(r.stops, 0);
  EXPECT_EQ(r.redraws, 0);
  // 122 GGA/RMC pairs, each its own epoch.
  EXPECT_EQ(r.epochs.size(), 122u);
  const EpochSummary& last = r.epochs.back();
  EXPECT_EQ(last.ggaQuality, 4);
  EXPECT_EQ(last.ggaSatellites, 19);
  EXPECT_EQ(last.rmcStatus, 'A');
  EXPECT_EQ(last.rmcMode, 'D');
  EXPECT_EQ(last.positionTalker, gnss::Talker::GN);
  EXPECT_NEAR(*last.latitudeDeg, 41 + 34.50180366 / 60, 1e-12);
  EXPECT_NEAR(*last.longitudeDeg, -(93 + 45.03586734 / 60), 1e-12);
  EXPECT_DOUBLE_EQ(*last.speedKnots, 0.018);
  EXPECT_EQ(last.date, (gnss::Date{2020, 3, 18}));
  // Line 21 switches to GP: the epoch 132820.60 comes from GPGGA.
  const EpochSummary* gp = r.At(13, 28, 20.6);
  ASSERT_NE(gp, nullptr);
  EXPECT_EQ(gp->positionTalker, gnss::Talker::GP);
  EXPECT_EQ(gp->ggaQuality, 2);
  EXPECT_EQ(gp->ggaSatellites, 9);
}

}  // namespace
