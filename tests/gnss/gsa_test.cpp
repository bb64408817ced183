// The used set of an epoch from its GSA sentences, and what the window shows
// of it. Receiver lines are the examples quoted in gpsd's NMEA driver (u-blox
// with system ids, SiRF and Skytraq without), re-checksummed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnss/interpret_all.h"
#include "gnss_test_support.h"
#include "resources/main_ids.h"

namespace {

using gnss::GnssModel;
using gnss_test::FeedAll;
using gnss_test::Nmea;
using gnss_test::Texts;
using gnss_test::UsedLabels;
using Strings = std::vector<std::string>;

const std::string kUblox[] = {
    Nmea("GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1"),
    Nmea("GNGSA,A,3,82,66,81,,,,,,,,,,1.05,0.64,0.83,2"),
    Nmea("GNGSA,A,3,07,12,33,,,,,,,,,,1.05,0.64,0.83,3"),
    Nmea("GNGSA,A,3,13,12,22,19,08,21,,,,,,,1.05,0.64,0.83,4"),
};

std::string Gga(const std::string& talker, const std::string& time) {
  return Nmea(talker + "GGA," + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
}

TEST(GsaUnion, SystemIdsPlaceEachGsa) {
  // By hand: system 1 lists 8 GPS, system 2 GLONASS 82 66 81 (slots 18 2 17),
  // system 3 Galileo 7 12 33, system 4 BeiDou 13 12 22 19 8 21: 8+3+3+6 = 20,
  // and GPS 13 and BeiDou 13 are two satellites.
  GnssModel m;
  for (const std::string& s : kUblox) m.Feed(s);
  EXPECT_EQ(UsedLabels(m), (Strings{"G10", "G13", "G15", "G16", "G20", "G21", "G27", "G29", "R02", "R17",
                                    "R18", "E07", "E12", "E33", "C08", "C12", "C13", "C19", "C21", "C22"}));
  EXPECT_EQ(m.PdopText(), "1.05");
  EXPECT_EQ(m.HdopText(), "0.64");
  EXPECT_EQ(m.VdopText(), "0.83");
  EXPECT_EQ(m.NavMode(), 3);
}

TEST(GsaUnion, WithoutSystemIdsTalkerOrNumbersDecide) {
  GnssModel sirf;  // SiRFstarIV: two GNGSA, GPS 1-32 then GLONASS 65-96
  FeedAll(sirf, {Nmea("GNGSA,A,3,31,26,21,,,,,,,,,,3.77,2.55,2.77"),
                 Nmea("GNGSA,A,3,75,86,87,,,,,,,,,,3.77,2.55,2.77")});
  EXPECT_EQ(UsedLabels(sirf), (Strings{"G21", "G26", "G31", "R11", "R22", "R23"}));

  GnssModel skytraq;  // GPGSA, then BDGSA with 214 = BeiDou 14
  FeedAll(skytraq, {Nmea("GPGSA,A,3,23,31,22,16,03,07,,,,,,,1.8,1.1,1.4"),
                    Nmea("BDGSA,A,3,214,,,,,,,,,,,,1.8,1.1,1.4")});
  EXPECT_EQ(UsedLabels(skytraq), (Strings{"G03", "G07", "G16", "G22", "G23", "G31", "C14"}));

  GnssModel both;  // GPS listed in GPGSA and again in GNGSA counts once
  FeedAll(both, {Nmea("GPGSA,A,3,01,02,03,,,,,,,,,,1.8,1.1,1.4"),
                 Nmea("GNGSA,A,3,01,02,03,70,,,,,,,,,1.8,1.1,1.4")});
  EXPECT_EQ(UsedLabels(both), (Strings{"G01", "G02", "G03", "R06"}));

  GnssModel trig;  // a float in the system id place is no system id
  trig.Feed(Nmea("GNGSA,A,3,70,,,,,,,,,,,,1.8,1.1,1.4,1.5"));
  EXPECT_EQ(UsedLabels(trig), (Strings{"R06"}));
}

TEST(GsaUnion, OneUnionPerEpochAcrossInterleavedSentences) {
  GnssModel m;
  // GPGSA and GLGSA with a GSV between them: one epoch, one union.
  FeedAll(m, {Gga("GP", "120000.00"), Nmea("GPGSA,A,3,01,02,,,,,,,,,,,1.8,1.1,1.4"),
              Nmea("GPGSV,1,1,02,01,40,100,40,02,30,200,35"), Nmea("GLGSA,A,3,01,02,,,,,,,,,,,1.8,1.1,1.4")});
  EXPECT_EQ(UsedLabels(m), (Strings{"G01", "G02", "R01", "R02"}));
  // The next epoch starts over: GLONASS 2 is no longer used.
  FeedAll(m, {Gga("GP", "120001.00"), Nmea("GPGSA,A,3,01,,,,,,,,,,,,1.8,1.1,1.4"),
              Nmea("GLGSA,A,3,01,,,,,,,,,,,,1.8,1.1,1.4")});
  EXPECT_EQ(UsedLabels(m), (Strings{"G01", "R01"}));
  // Without times (no fix yet), a talker's second GSA run starts over.
  GnssModel noTime;
  FeedAll(noTime, {Nmea("GPGSA,A,1,05,,,,,,,,,,,,,,"), Nmea("GPGSV,1,1,01,05,10,100,20"),
                   Nmea("GPGSA,A,1,06,,,,,,,,,,,,,,")});
  EXPECT_EQ(UsedLabels(noTime), (Strings{"G06"}));
}

TEST(GsaUnion, WindowSeesTheFullUnionOncePerEpoch) {
  GnssModel m;
  nmea::Interpretation r;
  // First epoch: nothing to go by, each GSA shows the union so far.
  gnss::InterpretAll(Gga("GN", "120000.00"), m, r);
  for (const std::string& s : kUblox) gnss::InterpretAll(s, m, r);
  EXPECT_EQ(Texts(r)[ids::kSvsInUse], "SVs in use  : 20");
  // Later epochs: the texts come once, at the fourth GSA, with the union.
  gnss::InterpretAll(Gga("GN", "120001.00"), m, r);
  for (int i = 0; i < 4; ++i) {
    gnss::InterpretAll(kUblox[i], m, r);
    auto t = Texts(r);
    if (i < 3) {
      EXPECT_EQ(t.count(ids::kSvsInUse), 0u) << i;
    } else {
      EXPECT_EQ(t, (std::map<int, std::string>{{ids::kSvsInUse, "SVs in use  : 20"},
                                               {ids::kPdop, "PDOP=1.05"},
                                               {ids::kHdop, "HDOP=0.64"},
                                               {ids::kVdop, "VDOP=0.83"},
                                               {ids::kFix, "Fix : 3D"}}));
    }
    EXPECT_TRUE(r.stopTtff);  // every GSA with a fix stops the count
  }
  // A union with fewer GSA than before is published when its epoch closes.
  gnss::InterpretAll(Gga("GN", "120002.00"), m, r);
  gnss::InterpretAll(kUblox[0], m, r);
  EXPECT_EQ(Texts(r).count(ids::kSvsInUse), 0u);
  gnss::InterpretAll(Nmea("GNRMC,120003.00,A,4807.038,N,01131.000,E,0.0,,230394,,,A"), m, r);
  EXPECT_EQ(Texts(r)[ids::kSvsInUse], "SVs in use  : 8");
  EXPECT_EQ(Texts(r)[ids::kSpeed], "0 km/h");  // the RMC's own texts follow
}

TEST(GsaUnion, DopsAndFixComeFromTheLastGsa) {
  GnssModel m;
  nmea::Interpretation r;
  gnss::InterpretAll(Nmea("GNGSA,A,3,01,,,,,,,,,,,,2.0,1.0,1.5,1"), m, r);
  // An empty GSA for a constellation without used satellites (Allystar).
  gnss::InterpretAll(Nmea("GNGSA,A,2,,,,,,,,,,,,,1.15,0.60,0.98,3"), m, r);
  auto t = Texts(r);
  EXPECT_EQ(t[ids::kSvsInUse], "SVs in use  : 1");
  EXPECT_EQ(t[ids::kPdop], "PDOP=1.15");
  EXPECT_EQ(t[ids::kFix], "Fix : 2D");
}

TEST(GsaUnion, TtffStopsOnA2dFixFromAnyTalker) {
  GnssModel m;
  auto none = gnss::InterpretAll(Nmea("GNGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99,1"), m);
  EXPECT_FALSE(none.stopTtff);
  EXPECT_EQ(Texts(none)[ids::kFix], "Fix : not available");
  auto fix2d = gnss::InterpretAll(Nmea("GNGSA,A,2,05,07,12,,,,,,,,,,4.1,3.2,2.5,1"), m);
  EXPECT_TRUE(fix2d.stopTtff);
  EXPECT_EQ(fix2d.kind, nmea::SentenceKind::Gsa);
  EXPECT_EQ(Texts(fix2d)[ids::kFix], "Fix : 2D");
  EXPECT_TRUE(gnss::InterpretAll(Nmea("GLGSA,A,3,70,,,,,,,,,,,,1.8,1.1,1.4"), m).stopTtff);
  EXPECT_TRUE(gnss::InterpretAll(Nmea("GBGSA,A,3,05,,,,,,,,,,,,1.8,1.1,1.4"), m).stopTtff);
}

TEST(GsaUnion, MoreThanTwelveFieldsAndShortGsa) {
  GnssModel m;
  // 24 satellite fields (Navior-24): the DOPs are the last three fields.
  m.Feed(
      Nmea("GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,1.1,0.7,0.9"));
  EXPECT_EQ(m.UsedCount(), 24);
  EXPECT_EQ(m.PdopText(), "1.1");
  EXPECT_EQ(m.VdopText(), "0.9");
  m.Feed(Nmea("GPRMC,,V"));
  m.Feed(Nmea(
      "GNGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,1.2,0.8,0.9,1"));
  EXPECT_EQ(m.PdopText(), "1.2");
  // Other field counts keep the usual places (a GSA run into a GSV).
  GnssModel garbled;
  garbled.Feed("$GPGSA,A,1,,,,,,,,,,11,03,090,,20,10,090,,07,22,090,,14,20,090,*78");
  EXPECT_EQ(garbled.PdopText(), "");
  EXPECT_EQ(garbled.HdopText(), "20");
  GnssModel shortGsa;  // i.Trek M3
  auto r = gnss::InterpretAll("$GPGSA,A,1,,,,*32", shortGsa);
  EXPECT_EQ(Texts(r)[ids::kSvsInUse], "SVs in use  : 0");
  EXPECT_EQ(Texts(r)[ids::kPdop], "PDOP=0");
}

TEST(GsaUnion, HostileEpochStaysBounded) {
  GnssModel m;
  // 100 GSA in one run with 1200 distinct numbers, many of no constellation.
  for (int g = 0; g < 100; ++g) {
    std::string body = "GNGSA,A,3";
    for (int k = 0; k < 12; ++k) body += "," + std::to_string(g * 12 + k + 1);
    m.Feed(Nmea(body + ",1.0,1.0,1.0"));
  }
  m.Feed(Nmea("GNGSA,A,3,2147483647,-5,99999999999,abc,,,,,,,,,1.0,1.0,1.0"));
  // GPS 32 + SBAS 39 (33-64 and 120-158 overlap in 120-151) + GLONASS 32 +
  // QZSS 10 + BeiDou 35 (203-237) + Galileo 36 (301-336) + BeiDou 401-437
  // (the same 37 keys minus none: 1-37) and at most 32 unknown numbers.
  EXPECT_LE(m.UsedCount(), GnssModel::kMaxSatellites);
  int unknown = 0;
  for (const gnss::SatKey& k : m.UsedSatellites()) {
    if (k.constellation == gnss::Constellation::Unknown) ++unknown;
    if (k.constellation != gnss::Constellation::Unknown) {
      EXPECT_GE(k.svid, k.constellation == gnss::Constellation::SBAS ? 120 : 1);
      EXPECT_LE(k.svid, gnss::MaxSvid(k.constellation));
    }
  }
  EXPECT_EQ(unknown, GnssModel::kMaxUnknown);
  EXPECT_EQ(m.UsedCount(), 32 + 39 + 32 + 10 + 37 + 36 + GnssModel::kMaxUnknown);
  // A DOP field longer than any receiver's is kept as received.
  const std::string longDop(300, '7');
  m.Feed(Nmea("GPRMC,,V"));
  auto r = gnss::InterpretAll(Nmea("GPGSA,A,3,01,,,,,,,,,,,," + longDop + ",1,1"), m);
  EXPECT_EQ(Texts(r)[ids::kPdop], "PDOP=" + longDop);
}

}  // namespace
