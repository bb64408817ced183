#include "nmea/interpreter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "resources/main_ids.h"

namespace {

using nmea::Interpret;
using nmea::Interpretation;
using nmea::ReceiverState;

std::map<int, std::string> Texts(const Interpretation& r) {
  std::map<int, std::string> m;
  for (const auto& [id, text] : r.texts) {
    EXPECT_TRUE(m.emplace(id, text).second) << "control " << id << " set twice";
  }
  return m;
}

TEST(Rmc, SpeedWithTheReceiverFactorAndCourseAsReceived) {
  ReceiverState st;
  const ReceiverState before = st;
  auto r = Interpret("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", st);
  EXPECT_EQ(Texts(r), (std::map<int, std::string>{{ids::kSpeed, "41 km/h"}, {ids::kCourse, "084.4"}}));
  EXPECT_FALSE(r.stopTtff || r.restartTtff || r.redrawViews);
  EXPECT_EQ(st, before);  // RMC keeps nothing
  // 1.8518518, not 1.852: 27 knots give 49.99999986 km/h, shown as 49.
  EXPECT_EQ(Texts(Interpret("$GPRMC,,V,,,,,27.0,,,,*00", st))[ids::kSpeed], "49 km/h");
  auto empty = Texts(Interpret("$GPRMC,,V,,,,,,,,,", st));
  EXPECT_EQ(empty[ids::kSpeed], "0 km/h");
  EXPECT_EQ(empty[ids::kCourse], "0");
}

TEST(Rmc, HostileSpeedsHaveDefinedTexts) {
  ReceiverState st;
  EXPECT_EQ(Texts(Interpret("$GPRMC,,,,,,,nan,1", st))[ids::kSpeed], "0 km/h");
  EXPECT_EQ(Texts(Interpret("$GPRMC,,,,,,,inf,1", st))[ids::kSpeed], "2147483647 km/h");
  EXPECT_EQ(Texts(Interpret("$GPRMC,,,,,,,1e300,1", st))[ids::kSpeed], "2147483647 km/h");
  // "%u" of a negative speed, as the receiver would never send but a line might.
  EXPECT_EQ(Texts(Interpret("$GPRMC,,,,,,,-1,1", st))[ids::kSpeed], "4294967295 km/h");
}

TEST(Version, ExactHeadShowsVersionAndRestartsTtff) {
  ReceiverState st;
  auto r = Interpret("$PVLX600 Velorin QK7720,QK7720 FW 2.07*1A", st);
  EXPECT_EQ(Texts(r), (std::map<int, std::string>{{ids::kVersion, "QK7720 FW 2.07"}}));
  EXPECT_TRUE(r.restartTtff);
  for (const char* other : {"$PVLX600 Velorin QK7721,x", "$pvlx600 velorin qk7720,x",
                            "$PVLX600  Velorin QK7720,x", "$PVLX600 Velorin QK7720"}) {
    auto o = Interpret(other, st);
    if (std::string(other) == "$PVLX600 Velorin QK7720") {
      // Head alone: the version field is missing and reads as "0".
      EXPECT_EQ(Texts(o)[ids::kVersion], "0");
    } else {
      EXPECT_TRUE(o.texts.empty()) << other;
      EXPECT_FALSE(o.restartTtff) << other;
    }
  }
}

TEST(Gsa, UsedFlagsDopsAndFix) {
  ReceiverState st;
  st.sats[6].used = 1;  // PRN 7 from an earlier GSA
  auto r = Interpret("$GPGSA,A,3,04,05,,,,,,,,,,40,2.5,1.3,2.1*35", st);
  auto t = Texts(r);
  EXPECT_EQ(t[ids::kSvsInUse], "SVs in use  : 3");  // PRN 40 counts but marks nothing
  EXPECT_EQ(t[ids::kPdop], "PDOP=2.5");
  EXPECT_EQ(t[ids::kHdop], "HDOP=1.3");
  EXPECT_EQ(t[ids::kVdop], "VDOP=2.1");
  EXPECT_EQ(t[ids::kFix], "Fix : 3D");
  EXPECT_EQ(t.size(), 5u);  // nothing else changes
  EXPECT_TRUE(r.stopTtff);
  EXPECT_FALSE(r.redrawViews);
  for (int p = 1; p <= 32; ++p) EXPECT_EQ(st.sats[p - 1].used, p == 4 || p == 5 ? 1 : 0) << p;

  EXPECT_EQ(Texts(Interpret("$GPGSA,A,2,,,,,,,,,,,,,,,", st))[ids::kFix], "Fix : 2D");
  auto noFix = Interpret("$GPGSA,A,1,,,,,,,,,,,,,,,*1E", st);
  EXPECT_FALSE(noFix.stopTtff);
  auto nf = Texts(noFix);
  EXPECT_EQ(nf[ids::kFix], "Fix : not available");
  EXPECT_EQ(nf[ids::kPdop], "PDOP=0");
  EXPECT_EQ(nf[ids::kSvsInUse], "SVs in use  : 0");
}

TEST(Gsa, LastFieldWithoutChecksumIsRead) {
  ReceiverState st;
  EXPECT_EQ(Texts(Interpret("$GPGSA,A,3,01,,,,,,,,,,,,1.9,1.0,1.6", st))[ids::kVdop], "VDOP=1.6");
}

TEST(Gsv, ThreeMessagesFillTenSlotsAndRedrawOnce) {
  ReceiverState st;
  const char* set[] = {
      "$GPGSV,3,1,10,01,10,020,30,02,20,040,31,03,30,060,32,04,40,080,33*70",
      "$GPGSV,3,2,10,05,50,100,34,06,60,120,35,07,70,140,36,08,80,160,*71",
      "$GPGSV,3,3,10,09,05,180,38,40,15,200,39*72",
  };
  for (int i = 0; i < 3; ++i) {
    auto r = Interpret(set[i], st);
    EXPECT_EQ(r.redrawViews, i == 2);
    if (i < 2) {
      EXPECT_TRUE(r.texts.empty());
    }
  }
  EXPECT_EQ(st.svInView, 10);
  for (int c = 0; c < 9; ++c) EXPECT_EQ(st.channelPrn[c], c + 1);
  EXPECT_EQ(st.channelPrn[9], 40);  // out-of-table PRN keeps its slot
  EXPECT_EQ(st.channelPrn[10], 0);
  EXPECT_EQ(st.sats[0], (nmea::SatInfo{30, 10, 20, 0}));
  EXPECT_EQ(st.sats[7].snr, 0);  // empty SNR: not tracked
  EXPECT_EQ(st.sats[7].elevation, 80);
  auto last = Interpret(set[2], st);
  EXPECT_EQ(Texts(last), (std::map<int, std::string>{{ids::kSvsInView, "SVs in view : 10"}}));
}

TEST(Gsv, EmptyOrZeroCountMeansTwelveAndEntriesPersist) {
  ReceiverState st;
  Interpret("$GPGSV,1,1,02,05,45,090,40,06,30,180,20", st);
  EXPECT_EQ(st.svInView, 2);
  Interpret("$GPGSV,1,1,,07,45,090,40", st);
  EXPECT_EQ(st.svInView, 12);
  EXPECT_EQ(st.sats[4].snr, 40);  // PRN 5 left view, its entry stays
}

TEST(Gsv, HostileNumbersStayInsideTheSlots) {
  ReceiverState st;
  const ReceiverState clean = st;
  // Message numbers 0, negative, 5 and huge, and counts far above 16, must
  // neither write outside the 16 slots nor crash.
  for (const char* s : {"$GPGSV,9,0,99,01,1,1,1,02,2,2,2,03,3,3,3,04,4,4,4", "$GPGSV,9,-3,99,01,1,1,1",
                        "$GPGSV,9,5,99,05,1,1,1,06,1,1,1", "$GPGSV,9,2147483647,2147483647,07,1,1,1",
                        "$GPGSV,9,-2147483648,-2147483648,08,1,1,1"}) {
    Interpret(s, st);
  }
  EXPECT_EQ(st.channelPrn, clean.channelPrn);
  EXPECT_EQ(st.ViewSlotCount(), 0);  // a negative count draws nothing
  Interpret("$GPGSV,4,4,40,13,1,1,1,14,1,1,1,15,1,1,1,16,1,1,1", st);
  EXPECT_EQ(st.channelPrn[12], 13);
  EXPECT_EQ(st.channelPrn[15], 16);
  EXPECT_EQ(st.svInView, 40);  // reported as received
  EXPECT_EQ(st.ViewSlotCount(), 16);
}

TEST(Gga, PositionTimeAndAltitude) {
  ReceiverState st;
  auto r = Interpret("$GPGGA,235959.50,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47", st);
  auto t = Texts(r);
  EXPECT_EQ(t[ids::kUtc], "UTC = 23:59:59");
  EXPECT_EQ(t[ids::kAltitude], "545.4 m");
  EXPECT_EQ(t[ids::kLatitudeDeg], "N049");
  EXPECT_EQ(t[ids::kLatitudeMin], "16'27.00\"");
  EXPECT_EQ(t[ids::kLongitudeDeg], "W123");
  EXPECT_EQ(t[ids::kLongitudeMin], "11'07.20\"");
  EXPECT_EQ(t.size(), 6u);
  EXPECT_EQ(st.latitude, 29564500);
  EXPECT_EQ(st.longitude, -(123 * 600000 + 111200));
}

TEST(Gga, EmptyAndShortFields) {
  ReceiverState st;
  auto t = Texts(Interpret("$GPGGA,,,,,,0,,,,,,,,", st));
  EXPECT_EQ(t[ids::kUtc], "UTC = 0::");
  EXPECT_EQ(t[ids::kAltitude], "0 m");
  EXPECT_EQ(t[ids::kLatitudeDeg], "N000");
  EXPECT_EQ(t[ids::kLatitudeMin], "00'00.00\"");
  EXPECT_EQ(Texts(Interpret("$GPGGA,123", st))[ids::kUtc], "UTC = 12:3:");
  // No "." or one too near the start: all of it (up to 7 characters) is minutes.
  Interpret("$GPGGA,0,12,S,.5,E", st);
  EXPECT_EQ(st.latitude, -120000);
  EXPECT_EQ(st.longitude, 5000);
  Interpret("$GPGGA,0,3015.1234567890,N,0,E", st);  // minutes cut to 7 characters
  EXPECT_EQ(st.latitude, 30 * 600000 + 151234);
}

TEST(Gga, HugeCoordinatesHaveDefinedTexts) {
  ReceiverState st;
  auto t = Texts(Interpret("$GPGGA,0,99999999999.9,S,nan,W", st));
  EXPECT_EQ(st.latitude, -2147483647);  // saturated, then negated for "S"
  EXPECT_EQ(st.longitude, 0);
  EXPECT_EQ(t[ids::kLatitudeDeg], "S3579");
  Interpret("$GPGGA,0,-99999999999.9,N,,E", st);
  EXPECT_EQ(st.latitude, -2147483647 - 1);
  EXPECT_EQ(nmea::CoordinateTexts(st.latitude, 'N', 'S').first, "S3579");
}

TEST(Dispatch, OtherTalkersAndSentencesChangeNothing) {
  ReceiverState st;
  const ReceiverState before = st;
  for (const char* s : {"$GNGGA,120000,4916.45,N,12311.12,W,1", "$GPGLL,4916.45,N,12311.12,W",
                        "$GPGSVX,1,1,01", "GPGGA,120000", "$gpgga,120000", "", "$", "$GPRMC*00,1"}) {
    auto r = Interpret(s, st);
    EXPECT_TRUE(r.texts.empty()) << s;
    EXPECT_EQ(r.kind, nmea::SentenceKind::Other) << s;
  }
  EXPECT_EQ(st, before);
}

}  // namespace
