// Epochs and their summaries, the talker preference for GGA and RMC, and the
// views' data (sky entries and chart bars).

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gnss/interpret_all.h"
#include "gnss_test_support.h"
#include "nmea/interpreter.h"
#include "resources/main_ids.h"

namespace {

using gnss::EpochSummary;
using gnss::GnssModel;
using gnss_test::FeedAll;
using gnss_test::Nmea;
using gnss_test::Texts;

struct Recorder : gnss::EpochListener {
  std::vector<EpochSummary> epochs;
  std::vector<int> inView;
  void OnEpochClosed(const EpochSummary& e, const GnssModel& m) override {
    epochs.push_back(e);
    inView.push_back(m.InViewCount());
  }
};

TEST(Epochs, ATimeChangeClosesTheEpochWithItsSummary) {
  GnssModel m;
  Recorder rec;
  m.SetEpochListener(&rec);
  FeedAll(m, {Nmea("GNRMC,083559.00,A,4717.11437,N,00833.91522,E,0.004,77.52,091202,,,A,V"),
              Nmea("GNVTG,77.52,T,,M,0.004,N,0.008,K,A"),
              Nmea("GNGGA,083559.00,4717.11437,N,00833.91522,E,1,08,1.01,499.6,M,48.0,M,,"),
              Nmea("GNGSA,A,3,23,29,07,08,09,18,26,28,,,,,1.94,1.18,1.54,1"),
              Nmea("GNGSA,A,3,65,67,,,,,,,,,,,1.94,1.18,1.54,2"),
              Nmea("GPGSV,1,1,02,23,40,100,44,29,30,200,38,1"), Nmea("GLGSV,1,1,01,65,50,300,35,1"),
              Nmea("GNGLL,4717.11437,N,00833.91522,E,083559.00,A,A")});
  EXPECT_TRUE(rec.epochs.empty());
  const unsigned c = m.Feed(Nmea("GNRMC,083600.00,A,4717.11430,N,00833.91520,E,0.004,77.52,091202,,,A,V"));
  EXPECT_TRUE(c & gnss::kEpochClosed);
  ASSERT_EQ(rec.epochs.size(), 1u);
  const EpochSummary& e = rec.epochs[0];
  EXPECT_EQ(e.index, 1u);
  EXPECT_EQ(e.utcMs, (8 * 3600 + 35 * 60 + 59) * 1000);
  EXPECT_EQ(e.date, (gnss::Date{2002, 12, 9}));
  EXPECT_EQ(e.ggaQuality, 1);
  EXPECT_EQ(e.navMode, 3);
  EXPECT_EQ(e.rmcStatus, 'A');
  EXPECT_EQ(e.rmcMode, 'A');
  EXPECT_EQ(e.rmcNavStatus, 'V');
  EXPECT_EQ(e.gllStatus, 'A');
  EXPECT_EQ(e.vtgMode, 'A');
  EXPECT_EQ(e.positionSource, gnss::PositionSource::Gga);
  EXPECT_NEAR(*e.latitudeDeg, 47 + 17.11437 / 60, 1e-12);
  EXPECT_NEAR(*e.longitudeDeg, 8 + 33.91522 / 60, 1e-12);
  EXPECT_DOUBLE_EQ(*e.altitudeM, 499.6);
  EXPECT_DOUBLE_EQ(*e.geoidSeparationM, 48.0);
  EXPECT_DOUBLE_EQ(*e.pdop, 1.94);
  EXPECT_DOUBLE_EQ(*e.hdop, 1.18);
  EXPECT_DOUBLE_EQ(*e.vdop, 1.54);
  EXPECT_DOUBLE_EQ(*e.ggaHdop, 1.01);
  EXPECT_EQ(e.ggaSatellites, 8);
  EXPECT_DOUBLE_EQ(*e.speedKnots, 0.004);
  EXPECT_DOUBLE_EQ(*e.courseDeg, 77.52);
  EXPECT_EQ(e.satellitesUsed, 10);
  EXPECT_EQ(e.satellitesInView, 3);
  EXPECT_EQ(rec.inView[0], 3);  // the model answers for the closed epoch
  EXPECT_TRUE(e.usedFromThisEpoch && e.skyFromThisEpoch);
  EXPECT_EQ(e.sentences, 8u);
  EXPECT_TRUE(e.kinds & (1u << static_cast<unsigned>(gnss::SentenceType::Gll)));
  EXPECT_EQ(m.LastEpoch().index, 1u);
  EXPECT_EQ(m.CurrentEpoch().index, 2u);
  // Flush closes the open epoch too.
  EXPECT_TRUE(m.Flush() & gnss::kEpochClosed);
  ASSERT_EQ(rec.epochs.size(), 2u);
  EXPECT_EQ(rec.epochs[1].sentences, 1u);
  EXPECT_FALSE(rec.epochs[1].usedFromThisEpoch);
}

TEST(Epochs, ResetForgetsEverythingButTheListener) {
  GnssModel m;
  Recorder rec;
  m.SetEpochListener(&rec);
  FeedAll(m, {Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
              Nmea("GNGSA,A,3,01,,,,,,,,,,,,1.0,1.0,1.0,1"), Nmea("GPGSV,1,1,01,01,10,010,30")});
  m.Reset();
  EXPECT_EQ(m.UsedCount(), 0);
  EXPECT_EQ(m.InViewCount(), 0);
  EXPECT_EQ(m.SignalGroupCount(), 0u);
  EXPECT_EQ(m.CurrentEpoch().index, 1u);
  EXPECT_EQ(m.LatitudeUnits(), 0);
  FeedAll(m, {Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")});
  m.Flush();
  ASSERT_EQ(rec.epochs.size(), 1u);  // the epoch before the reset was never closed
  EXPECT_EQ(rec.epochs[0].sentences, 1u);
}

TEST(Epochs, EmptyTimesStillSplitIntoEpochs) {
  GnssModel m;
  Recorder rec;
  m.SetEpochListener(&rec);
  for (int i = 0; i < 3; ++i) {
    FeedAll(m, {"$GPGGA,,,,,,0,,,,,,,,*66", "$GPRMC,,V,,,,,,,,,,N*53", Nmea("GPGSA,A,1,,,,,,,,,,,,,,,")});
  }
  EXPECT_EQ(rec.epochs.size(), 2u);
  EXPECT_FALSE(rec.epochs[0].utcMs.has_value());
  EXPECT_EQ(rec.epochs[0].ggaQuality, 0);
  EXPECT_FALSE(rec.epochs[0].latitudeDeg.has_value());
  // The first timed sentence after them starts a new epoch too.
  m.Feed(Nmea("GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
  EXPECT_EQ(rec.epochs.size(), 3u);
  // Ten-millisecond jitter is the same epoch.
  m.Feed(Nmea("GPRMC,120000.01,A,4807.038,N,01131.000,E,,,230394,,,A"));
  EXPECT_EQ(rec.epochs.size(), 3u);
  EXPECT_EQ(m.CurrentEpoch().date, (gnss::Date{1994, 3, 23}));
  m.Feed(Nmea("GPZDA,120000.00,24,03,2094,00,00"));  // ZDA's four-digit year wins
  EXPECT_EQ(m.CurrentEpoch().date, (gnss::Date{2094, 3, 24}));
}

std::string Gga(const std::string& talker, const std::string& lat) {
  return Nmea(talker + "GGA,120000.00," + lat + ",N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
}

TEST(Talkers, GnWinsOverGpWithinAnEpoch) {
  GnssModel m;
  nmea::Interpretation r;
  gnss::InterpretAll(Gga("GP", "4807.000"), m, r);
  EXPECT_EQ(Texts(r)[ids::kLatitudeMin], "07'00.00\"");
  gnss::InterpretAll(Gga("GN", "4808.000"), m, r);  // replaces the GP one
  EXPECT_EQ(Texts(r)[ids::kLatitudeMin], "08'00.00\"");
  gnss::InterpretAll(Gga("GP", "4809.000"), m, r);  // after GN: left aside
  EXPECT_TRUE(r.texts.empty());
  EXPECT_EQ(r.kind, nmea::SentenceKind::Gga);
  gnss::InterpretAll(Gga("GL", "4809.000"), m, r);
  EXPECT_TRUE(r.texts.empty());
  EXPECT_EQ(m.CurrentEpoch().positionTalker, gnss::Talker::GN);
  EXPECT_NEAR(*m.CurrentEpoch().latitudeDeg, 48 + 8.0 / 60, 1e-12);
  EXPECT_EQ(m.LatitudeUnits(), 48 * 600000 + 80000);
  // RMC the same way.
  gnss::InterpretAll(Nmea("GNRMC,120000.00,A,4808.000,N,01131.000,E,10.0,90.0,230394,,,A"), m, r);
  gnss::InterpretAll(Nmea("GPRMC,120000.00,A,4808.000,N,01131.000,E,20.0,91.0,230394,,,A"), m, r);
  EXPECT_TRUE(r.texts.empty());
  EXPECT_DOUBLE_EQ(*m.CurrentEpoch().speedKnots, 10.0);
  // A new epoch takes the GP sentence again (receivers that switch talkers).
  gnss::InterpretAll(Nmea("GPGGA,120001.00,4809.000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), m, r);
  EXPECT_EQ(Texts(r)[ids::kLatitudeMin], "09'00.00\"");
}

TEST(Texts, EveryTalkerGivesTheGpTexts) {
  // The texts of a GNGGA/GNRMC/version reply equal the GPS-only
  // interpreter's for the same sentence with GP, including odd fields.
  const std::string bodies[] = {
      "GGA,235959.50,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,",
      "GGA,,,,,,0,,,,,,,,",
      "GGA,123",
      "GGA,0,99999999999.9,S,nan,W",
      "RMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
      "RMC,,V,,,,,-1,1",
  };
  for (const std::string& body : bodies) {
    for (const char* talker : {"GN", "GL", "GA", "GB", "BD", "GQ", "GI"}) {
      nmea::ReceiverState st;
      GnssModel m;
      const auto gp = nmea::Interpret("$GP" + body, st);
      const auto all = gnss::InterpretAll("$" + std::string(talker) + body, m);
      EXPECT_EQ(all.texts, gp.texts) << talker << body;
      EXPECT_EQ(all.kind, gp.kind);
    }
  }
  GnssModel m;
  nmea::ReceiverState st;
  const std::string version = "$PVLX600 Velorin QK7720,QK7720 FW 2.07*1A";
  const auto all = gnss::InterpretAll(version, m);
  EXPECT_EQ(all.texts, nmea::Interpret(version, st).texts);
  EXPECT_TRUE(all.restartTtff);
  EXPECT_TRUE(gnss::InterpretAll("$PVLX600 Velorin QK7721,x", m).texts.empty());
  EXPECT_TRUE(gnss::InterpretAll("$IIGGA,120000,4807.038,N,01131.000,E,1", m).texts.empty());
}

TEST(Views, SkyEntriesAndChartBars) {
  GnssModel m;
  // 20 GPS satellites, C/N0 20..39 (satellite n has 19 + n), the first five
  // used, satellite 20 without C/N0; plus two Galileo, one used.
  std::vector<std::string> lines;
  for (int msg = 0; msg < 5; ++msg) {
    std::string body = "GPGSV,5," + std::to_string(msg + 1) + ",20";
    for (int q = 0; q < 4; ++q) {
      const int n = msg * 4 + q + 1;
      body += "," + std::to_string(n) + ",30,100," + (n == 20 ? std::string() : std::to_string(19 + n));
    }
    lines.push_back(Nmea(body));
  }
  lines.push_back(Nmea("GAGSV,1,1,02,04,45,200,50,09,10,300,"));
  lines.push_back(Nmea("GNGSA,A,3,01,02,03,04,05,,,,,,,,1.0,1.0,1.0,1"));
  lines.push_back(Nmea("GNGSA,A,3,09,,,,,,,,,,,,1.0,1.0,1.0,3"));
  lines.push_back(Nmea("GNGSA,A,3,77,,,,,,,,,,,,1.0,1.0,1.0,2"));  // used, not in view
  for (const std::string& l : lines) m.Feed(l);
  EXPECT_EQ(m.InViewCount(), 22);
  EXPECT_EQ(m.UsedCount(), 7);
  EXPECT_EQ(m.UsedNotInView(), 1);
  const gnss::SkySat* e09 = gnss_test::Find(m, "E09");
  ASSERT_NE(e09, nullptr);
  EXPECT_TRUE(e09->used);
  EXPECT_EQ(e09->key, (gnss::SatKey{gnss::Constellation::Galileo, 9}));
  EXPECT_EQ(e09->elevation, 10);
  EXPECT_EQ(e09->azimuth, 300);

  std::array<gnss::ChartBar, 16> bars;
  ASSERT_EQ(m.ChartBars(bars), 16u);
  std::vector<std::string> labels;
  for (const auto& b : bars) labels.emplace_back(b.label.view());
  // Used first (key order), then the ten strongest others: E04 (50) and GPS
  // 11..19 (30..38), in key order; GPS 6..10 and 20 are left out.
  EXPECT_EQ(labels, (std::vector<std::string>{"G01", "G02", "G03", "G04", "G05", "E09", "G11", "G12", "G13",
                                              "G14", "G15", "G16", "G17", "G18", "G19", "E04"}));
  EXPECT_TRUE(bars[5].used);
  EXPECT_FALSE(bars[5].hasCno);
  EXPECT_FALSE(bars[6].used);
  EXPECT_EQ(bars[15].cno, 50);
  std::array<gnss::ChartBar, 3> few;
  ASSERT_EQ(m.ChartBars(few), 3u);
  EXPECT_EQ(few[2].label.view(), "G05");  // the three strongest used: G03, G04, G05
  EXPECT_EQ(m.ChartBars(std::span<gnss::ChartBar>()), 0u);
}

}  // namespace
