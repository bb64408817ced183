// Satellites in view from GSV sentences of every constellation: signal-id
// groups, partial and padded sentences, pictures that replace each other.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnss/interpret_all.h"
#include "gnss_test_support.h"
#include "resources/main_ids.h"

namespace {

using gnss::GnssModel;
using gnss::SkySat;
using gnss_test::FeedAll;
using gnss_test::Find;
using gnss_test::Labels;
using gnss_test::Nmea;
using gnss_test::Texts;
using Strings = std::vector<std::string>;

std::string Rmc(const std::string& time) {
  return Nmea("GNRMC," + time + ",A,4807.038,N,01131.000,E,0.0,,230394,,,A");
}

// A u-blox F9 GPS picture (OpenCPN pull 2615): signal 1 (L1 C/A) lists 11
// satellites, signal 8 (L5-Q) six of them again with empty C/N0.
std::vector<std::string> F9Gps(const std::string& l5cno06) {
  return {Nmea("GPGSV,3,1,11,02,07,130,20,06,21,090,24,12,75,223,30,17,21,042,27,1"),
          Nmea("GPGSV,3,2,11,19,37,056,27,22,21,317,23,24,56,151,24,25,33,248,34,1"),
          Nmea("GPGSV,3,3,11,32,34,300,39,03,02,018,,10,00,000,,1"),
          Nmea("GPGSV,2,1,06,03,02,018,,06,21,090," + l5cno06 + ",10,00,000,,24,56,151,,8"),
          Nmea("GPGSV,2,2,06,25,33,248,,32,34,300,,8")};
}

TEST(GsvSignals, SeveralSignalsOfOneSatelliteAreOneSatellite) {
  GnssModel m;
  for (const std::string& s : F9Gps("")) m.Feed(s);
  EXPECT_EQ(Labels(m),
            (Strings{"G02", "G03", "G06", "G10", "G12", "G17", "G19", "G22", "G24", "G25", "G32"}));
  const SkySat* g06 = Find(m, "G06");
  ASSERT_NE(g06, nullptr);
  EXPECT_EQ(g06->cno, 24);  // the empty L5 C/N0 does not overwrite L1's
  EXPECT_EQ(g06->cnoSignal, 1);
  EXPECT_EQ(g06->signals, 1u << 1);
  EXPECT_EQ(g06->elevation, 21);
  EXPECT_EQ(g06->azimuth, 90);
  const SkySat* g03 = Find(m, "G03");
  ASSERT_NE(g03, nullptr);
  EXPECT_FALSE(g03->HasCno());  // tracked on no signal, still in view
  EXPECT_EQ(m.SignalGroupCount(), 2u);
  EXPECT_EQ(m.SignalGroup(1).signalId, 8);
  EXPECT_EQ(m.SignalGroup(1).observations.size(), 6u);

  // Next epoch L5 is tracked, weaker than L1: L1 stays the strongest.
  m.Feed(Rmc("120001.00"));
  for (const std::string& s : F9Gps("20")) m.Feed(s);
  g06 = Find(m, "G06");
  ASSERT_NE(g06, nullptr);
  EXPECT_EQ(g06->cno, 24);
  EXPECT_EQ(g06->cnoSignal, 1);
  // Then L5 is the stronger signal.
  m.Feed(Rmc("120002.00"));
  for (const std::string& s : F9Gps("31")) m.Feed(s);
  g06 = Find(m, "G06");
  ASSERT_NE(g06, nullptr);
  EXPECT_EQ(g06->cno, 31);
  EXPECT_EQ(g06->cnoSignal, 8);
  EXPECT_EQ(g06->signals, (1u << 1) | (1u << 8));
  EXPECT_EQ(m.InViewCount(), 11);
}

TEST(GsvSignals, OneSequenceAcrossSignalIds) {
  // Allystar numbers all signals of a constellation in one sequence.
  GnssModel m;
  FeedAll(m, {Nmea("GPGSV,3,1,09,01,40,100,40,02,30,200,35,03,20,300,30,04,10,010,25,1"),
              Nmea("GPGSV,3,2,09,05,45,045,41,01,40,100,33,02,30,200,30,03,20,300,,5"),
              Nmea("GPGSV,3,3,09,04,10,010,20,5")});
  EXPECT_EQ(Labels(m), (Strings{"G01", "G02", "G03", "G04", "G05"}));
  EXPECT_EQ(m.SignalGroupCount(), 2u);
  EXPECT_EQ(Find(m, "G01")->cno, 40);
  EXPECT_EQ(Find(m, "G01")->signals, (1u << 1) | (1u << 5));
}

TEST(GsvSets, PartialAndPaddedLastSentences) {
  GnssModel m;
  // 9 satellites: 4 + 4 + 1, and the signal id after the single quad is no
  // satellite.
  FeedAll(m, {Nmea("GPGSV,3,1,09,01,10,010,30,02,20,020,31,03,30,030,32,04,40,040,33,1"),
              Nmea("GPGSV,3,2,09,05,50,050,34,06,60,060,35,07,70,070,36,08,80,080,37,1")});
  auto r = gnss::InterpretAll("$GPGSV,3,3,09,24,87,199,36,1*50", m);
  EXPECT_TRUE(r.redrawViews);
  EXPECT_EQ(Texts(r)[ids::kSvsInView], "SVs in view : 9");
  EXPECT_EQ(Labels(m), (Strings{"G01", "G02", "G03", "G04", "G05", "G06", "G07", "G08", "G24"}));
  EXPECT_EQ(Find(m, "G24")->cno, 36);

  // Padded with empty quads, and a 00 C/N0, which is a value.
  GnssModel padded;
  FeedAll(padded, {Nmea("GPGSV,2,1,05,01,10,010,30,02,20,020,31,03,30,030,32,04,40,040,33"),
                   Nmea("GPGSV,2,2,05,27,05,244,00,,,,,,,,,,,,")});
  EXPECT_EQ(padded.InViewCount(), 5);
  EXPECT_TRUE(Find(padded, "G27")->HasCno());
  EXPECT_EQ(Find(padded, "G27")->cno, 0);
}

TEST(GsvSets, ZeroQuadsAndEmptyCno) {
  GnssModel m;
  FeedAll(m, {Nmea("GPGSV,4,1,13,01,10,010,30,02,20,020,31,03,30,030,32,04,40,040,33"),
              Nmea("GPGSV,4,2,13,05,50,050,34,06,60,060,,07,70,070,,08,80,080,"),
              Nmea("GPGSV,4,3,13,09,10,090,30,10,20,100,31,11,30,110,32,12,40,120,33")});
  auto r = gnss::InterpretAll("$GPGSV,4,4,13*7B", m);  // announces 13, lists none
  EXPECT_TRUE(r.redrawViews);
  EXPECT_EQ(m.InViewCount(), 12);
  EXPECT_FALSE(Find(m, "G06")->HasCno());
  EXPECT_TRUE(Find(m, "G06")->HasElevation());
  // A constellation whose picture lists nothing, in NMEA 4.10 form.
  FeedAll(m, {Rmc("120001.00"), Nmea("GPGSV,1,1,01,07,70,070,20"), "$GLGSV,1,1,01,*48"});
  EXPECT_EQ(Labels(m), (Strings{"G07"}));
}

TEST(GsvSets, AnUnfinishedSetNeitherFreezesNorDuplicates) {
  GnssModel m;
  const std::string m1 = Nmea("GPGSV,3,1,10,01,10,010,30,02,20,020,31,03,30,030,32,04,40,040,33");
  const std::string m2 = Nmea("GPGSV,3,2,10,05,50,050,34,06,60,060,35,07,70,070,36,08,80,080,37");
  const std::string m3 = Nmea("GPGSV,3,3,10,09,15,090,38,10,25,100,39");
  FeedAll(m, {Rmc("120000.00"), m1, m2, m3});
  EXPECT_EQ(m.InViewCount(), 10);
  // Message 3 lost: the next sentence ends the run and shows what came.
  FeedAll(m, {Rmc("120001.00"), m1, m2});
  auto r = gnss::InterpretAll(Rmc("120002.00"), m);
  EXPECT_TRUE(r.redrawViews);
  EXPECT_EQ(Texts(r)[ids::kSvsInView], "SVs in view : 8");
  EXPECT_TRUE(m.SignalGroup(0).partial);
  // Complete again: ten, once each.
  FeedAll(m, {m1, m2, m3});
  EXPECT_EQ(m.InViewCount(), 10);
  EXPECT_FALSE(m.SignalGroup(0).partial);
  // Message 2 lost: message 3 cannot be placed and is dropped.
  FeedAll(m, {Rmc("120003.00"), m1, m3, Rmc("120004.00")});
  EXPECT_EQ(Labels(m), (Strings{"G01", "G02", "G03", "G04"}));
  // Message 1 twice (a lost last message, then a new set): no duplicates.
  FeedAll(m, {m1, m2, m1, m2, m3});
  EXPECT_EQ(m.InViewCount(), 10);
}

TEST(GsvSets, KeysKeepConstellationsApartAndGlonassNumberingsMeet) {
  GnssModel m;
  FeedAll(m, {Nmea("GPGSV,1,1,01,05,10,010,30"), Nmea("GAGSV,1,1,01,05,20,020,31"),
              Nmea("GLGSV,1,1,01,07,30,030,32"),    // slot 7 as 1-32
              Nmea("GNGSV,1,1,01,71,30,030,35")});  // the same slot as 65-96
  EXPECT_EQ(Labels(m), (Strings{"G05", "R07", "E05"}));
  EXPECT_EQ(Find(m, "R07")->cno, 35);
}

TEST(GsvSets, BeidouReceiver) {
  // A receiver with BeiDou only, as GBGSV with 201-237 (SiRF, Quectel), then
  // another with the legacy BD talker and 1-37.
  GnssModel m;
  FeedAll(m, {Nmea("GBGSV,2,1,05,201,45,120,38,203,40,200,36,206,35,060,30,208,20,300,25"),
              "$GBGSV,2,2,05,209,07,033,*62", Nmea("GBGSA,A,3,201,203,206,,,,,,,,,,2.0,1.2,1.6")});
  EXPECT_EQ(Labels(m), (Strings{"C01", "C03", "C06", "C08", "C09"}));
  EXPECT_EQ(m.UsedCount(), 3);
  FeedAll(m, {Rmc("120001.00"), Nmea("GBGSV,2,1,05,201,45,120,38,203,40,200,36,206,35,060,30,208,20,300,25"),
              "$GBGSV,2,2,05,209,07,033,*62"});
  EXPECT_TRUE(Find(m, "C01")->used);
  EXPECT_FALSE(Find(m, "C09")->used);

  GnssModel bd;
  FeedAll(bd, {Nmea("BDGSV,1,1,03,14,45,120,38,37,40,200,36,05,35,060,30"),
               Nmea("BDGSA,A,3,14,37,,,,,,,,,,,2.0,1.2,1.6")});
  EXPECT_EQ(Labels(bd), (Strings{"C05", "C14", "C37"}));
  EXPECT_EQ(gnss_test::UsedLabels(bd), (Strings{"C14", "C37"}));
}

TEST(GsvPictures, OneRedrawPerEpochAndVanishedGroupsLeave) {
  GnssModel m;
  const std::vector<std::string> gp = {
      Nmea("GPGSV,2,1,05,01,10,010,30,02,20,020,31,03,30,030,32,04,40,040,33"),
      Nmea("GPGSV,2,2,05,05,50,050,34")};
  const std::string gl = Nmea("GLGSV,1,1,02,65,10,010,30,66,20,020,31");
  auto epoch = [&](const std::string& time, bool withGl) {
    int redraws = 0;
    nmea::Interpretation r;
    std::vector<std::string> lines = {Rmc(time)};
    lines.insert(lines.end(), gp.begin(), gp.end());
    if (withGl) lines.push_back(gl);
    for (const std::string& s : lines) {
      gnss::InterpretAll(s, m, r);
      redraws += r.redrawViews;
    }
    return redraws;
  };
  epoch("120000.00", true);
  EXPECT_EQ(epoch("120001.00", true), 1);  // steady state: after the last group
  EXPECT_EQ(m.InViewCount(), 7);
  // GLONASS stops: its last satellites stay one more picture, then leave.
  EXPECT_EQ(epoch("120002.00", false), 0);
  nmea::Interpretation r;
  gnss::InterpretAll(Rmc("120003.00"), m, r);  // the epoch ends: what it had is drawn
  EXPECT_TRUE(r.redrawViews);
  EXPECT_EQ(epoch("120004.00", false), 1);
  EXPECT_EQ(Labels(m), (Strings{"G01", "G02", "G03", "G04", "G05"}));
}

TEST(GsvHostile, NumbersOutOfRangeAreDroppedOrAbsent) {
  GnssModel m;
  for (const char* bad :
       {"GPGSV,0,1,01,01,10,010,30", "GPGSV,100,1,01,01,10,010,30", "GPGSV,1,2,01,01,10,010,30",
        "GPGSV,1,0,01,01,10,010,30", "GPGSV,-1,-1,01,01,10,010,30", "GPGSV", "GPGSV,,,"}) {
    EXPECT_EQ(m.Feed(Nmea(bad)) & gnss::kChangedSky, 0u) << bad;
  }
  EXPECT_EQ(m.InViewCount(), 0);
  m.Feed(Nmea("GPGSV,1,1,04,01,999,400,150,02,-91,360,-1,03,90,359,99,0,10,10,10"));
  const SkySat* a = Find(m, "G01");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->has, 0);  // elevation 999, azimuth 400, C/N0 150: absent
  const SkySat* b = Find(m, "G02");
  EXPECT_FALSE(b->HasElevation());
  EXPECT_EQ(b->azimuth, 0);  // 360 is north
  EXPECT_FALSE(b->HasCno());
  EXPECT_EQ(Find(m, "G03")->cno, 99);
  EXPECT_EQ(m.InViewCount(), 3);  // satellite number 0 is none

  // 99 messages of 4 numbers each: a sequence keeps at most 40.
  GnssModel big;
  for (int k = 1; k <= 99; ++k) {
    std::string body = "GNGSV,99," + std::to_string(k) + ",396";
    for (int q = 0; q < 4; ++q) body += "," + std::to_string(((k - 1) * 4 + q) % 96 + 1) + ",10,10,10";
    big.Feed(Nmea(body));
  }
  EXPECT_EQ(big.InViewCount(), 40);
  EXPECT_LE(big.SignalGroup(0).observations.size(),
            static_cast<std::size_t>(GnssModel::kMaxQuadsPerSequence));
}

TEST(GsvHostile, GroupTableIsBounded) {
  GnssModel m;
  // 10 talkers x 16 signal ids in one picture: 160 groups asked for.
  for (const char* t : {"GP", "GL", "GA", "GB", "BD", "GQ", "GI", "GN", "QZ", "PQ"}) {
    for (const char* sig : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"}) {
      m.Feed(Nmea(std::string(t) + "GSV,1,1,01,01,10,010,30," + sig));
    }
  }
  EXPECT_EQ(m.SignalGroupCount(), static_cast<std::size_t>(GnssModel::kMaxGroups));
  EXPECT_LE(m.InViewCount(), GnssModel::kMaxSatellites);
}

}  // namespace
