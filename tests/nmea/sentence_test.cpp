#include "nmea/sentence.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using nmea::AppendChecksum;
using nmea::FieldAt;

std::string WithChecksum(std::string s) {
  AppendChecksum(s);
  return s;
}

TEST(Checksum, KnownSentences) {
  EXPECT_EQ(WithChecksum("$PVLRX111,HOT"), "$PVLRX111,HOT*0E");  // leading zero kept
  EXPECT_EQ(WithChecksum("$PVLRX600"), "$PVLRX600*76");
  EXPECT_EQ(WithChecksum("$"), "$*00");
  // The first byte is skipped whatever it is; every other byte counts.
  EXPECT_EQ(WithChecksum("xA"), "xA*41");
  EXPECT_EQ(WithChecksum(std::string("$\xff", 2)), std::string("$\xff*FF", 5));
}

TEST(Checksum, RoundTripsThroughFieldAt) {
  std::string s = "$PVLRX104,25,00.0000,N,121,00.0000,E,0,0,0,0,4";
  AppendChecksum(s);
  EXPECT_EQ(FieldAt(s, 1), "$PVLRX104");
  EXPECT_EQ(FieldAt(s, 4), "N");
  EXPECT_EQ(FieldAt(s, 12), "4");  // last field ends at the "*"
  EXPECT_EQ(FieldAt(s, 13), "0");
}

struct FieldCase {
  const char* legend;
  std::string sentence;
  int n;
  std::string expected;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.legend; }

class FieldAtTable : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldAtTable, Reads) {
  const FieldCase& c = GetParam();
  EXPECT_EQ(FieldAt(c.sentence, c.n), c.expected) << c.legend;
}

const std::string kGsa = "$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*35";
const std::string kVersion = "$PVLX600 Velorin QK7720,V1.2.3 build 7*5C";

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldAtTable,
    testing::Values(FieldCase{"gsa_head", kGsa, 1, "$GPGSA"}, FieldCase{"gsa_fix", kGsa, 3, "3"},
                    FieldCase{"gsa_empty_reads_0", kGsa, 6, "0"}, FieldCase{"gsa_pdop", kGsa, 16, "2.5"},
                    FieldCase{"gsa_vdop_without_checksum", kGsa, 18, "2.1"},
                    FieldCase{"gsa_nothing_after_star", kGsa, 19, "0"},
                    FieldCase{"rmc_empty_between_commas", "$GPRMC,,V", 2, "0"},
                    FieldCase{"last_field_without_star_runs_to_end", "$GPRMC,,V", 3, "V"},
                    FieldCase{"beyond_last_field", "$GPRMC,,V", 4, "0"},
                    FieldCase{"no_star_last_snr_kept", "$GPGSV,1,1,01,07,45,120,38", 8, "38"},
                    FieldCase{"head_with_blanks", kVersion, 1, "$PVLX600 Velorin QK7720"},
                    FieldCase{"version_text", kVersion, 2, "V1.2.3 build 7"},
                    FieldCase{"corrupt_checksum_split_alike", "$GPGSA,A,3,04*ZZ", 4, "04"},
                    FieldCase{"star_before_comma_does_not_end_field", "$GPXXX,a*b,c", 2, "a*b"},
                    FieldCase{"last_field_after_embedded_star_reads_0", "$GPXXX,a*b,c", 3, "0"},
                    FieldCase{"star_elsewhere_blocks_run_to_end", "$GPXXX*1,a,b", 4, "0"},
                    FieldCase{"star_at_field_start", "$GPXXX,*12", 2, "0"},
                    FieldCase{"no_dollar_at_all", "GPGGA,1,2", 1, "GPGGA"},
                    FieldCase{"only_commas", ",,,,", 3, "0"},
                    FieldCase{"only_commas_past_end", ",,,,", 9, "0"},
                    FieldCase{"empty_sentence", "", 1, "0"}, FieldCase{"field_zero", "$GPGGA,1", 0, "0"},
                    FieldCase{"negative_field", "$GPGGA,1", -5, "0"},
                    FieldCase{"trailing_comma", "$GPGGA,1,", 3, "0"},
                    FieldCase{"high_bytes_kept", "$GP\x80\xff,\xfe", 2, "\xfe"}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.legend); });

TEST(FieldAt, LongLinesAndLargeFieldNumbers) {
  std::string s = "$GPXXX," + std::string(10000, 'x');
  EXPECT_EQ(FieldAt(s, 2).size(), 10000u);
  EXPECT_EQ(FieldAt(s, 3), "0");
  std::string commas(10000, ',');
  EXPECT_EQ(FieldAt(commas, 9999), "0");
  EXPECT_EQ(FieldAt(commas, 2147483647), "0");
}

}  // namespace

namespace {

TEST(Fields, AgreeWithFieldViewEverywhere) {
  const std::string cases[] = {
      "$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*35",
      "$GPRMC,,V",
      "$GPXXX,a*b,c",
      "$GPXXX*1,a,b",
      ",,,,",
      "",
      "$GPGSV,4,1,16,01,2,3,4,05,6,7,8,09,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26",
      "$A,*"};
  for (const std::string& s : cases) {
    nmea::Fields f(s);
    for (int n = -1; n <= 40; ++n) EXPECT_EQ(f[n], nmea::FieldView(s, n)) << s << " field " << n;
  }
}

TEST(Fields, SizeCountsEveryFieldTheScanFinds) {
  EXPECT_EQ(nmea::Fields("$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*35").Size(), 18);
  // An empty field right before "*" is no field: the checksum came first.
  EXPECT_EQ(nmea::Fields("$GLGSV,1,1,01,*48").Size(), 4);
  EXPECT_EQ(nmea::Fields("$GLGSV,1,1,01,,*48").Size(), 5);
  EXPECT_EQ(nmea::Fields("$GPRMC,,V").Size(), 3);
  EXPECT_EQ(nmea::Fields("").Size(), 0);
  // Beyond the fields kept, the count goes on.
  EXPECT_EQ(
      nmea::Fields("$X,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29*00")
          .Size(),
      30);
}

}  // namespace
