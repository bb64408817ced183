// Talkers, system ids, satellite-number inference and labels.

#include "gnss/constellation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gnss::Constellation;
using gnss::SatKey;
using gnss::Talker;

TEST(Talkers, EveryGnssTalkerAndNothingElse) {
  struct Row {
    const char* text;
    Talker talker;
    Constellation constellation;
  };
  const Row rows[] = {
      {"GP", Talker::GP, Constellation::GPS},     {"GL", Talker::GL, Constellation::GLONASS},
      {"GA", Talker::GA, Constellation::Galileo}, {"GB", Talker::GB, Constellation::BeiDou},
      {"BD", Talker::BD, Constellation::BeiDou},  {"GQ", Talker::GQ, Constellation::QZSS},
      {"QZ", Talker::QZ, Constellation::QZSS},    {"PQ", Talker::PQ, Constellation::QZSS},
      {"GI", Talker::GI, Constellation::NavIC},   {"GN", Talker::GN, Constellation::Unknown},
  };
  for (const Row& r : rows) {
    Talker t{};
    ASSERT_TRUE(gnss::ParseTalker(r.text, t)) << r.text;
    EXPECT_EQ(t, r.talker);
    EXPECT_EQ(gnss::TalkerText(t), r.text);
    EXPECT_EQ(gnss::TalkerConstellation(t), r.constellation) << r.text;
  }
  for (const char* other : {"II", "EC", "gp", "G", "GPS", "", "P"}) {
    Talker t{};
    EXPECT_FALSE(gnss::ParseTalker(other, t)) << other;
  }
}

TEST(SystemIds, OneToSixAndNothingElse) {
  EXPECT_EQ(gnss::SystemIdConstellation(1), Constellation::GPS);
  EXPECT_EQ(gnss::SystemIdConstellation(2), Constellation::GLONASS);
  EXPECT_EQ(gnss::SystemIdConstellation(3), Constellation::Galileo);
  EXPECT_EQ(gnss::SystemIdConstellation(4), Constellation::BeiDou);  // not swapped with Galileo
  EXPECT_EQ(gnss::SystemIdConstellation(5), Constellation::QZSS);
  EXPECT_EQ(gnss::SystemIdConstellation(6), Constellation::NavIC);
  for (int other : {0, 7, 15, -1}) EXPECT_EQ(gnss::SystemIdConstellation(other), Constellation::Unknown);
}

// One row per rule of the numbering table; the legend names where the
// number comes from.
struct Inference {
  const char* legend;
  Talker talker;
  int systemId;
  int number;
  SatKey key;
};

class Infer : public testing::TestWithParam<Inference> {};

TEST_P(Infer, Satellite) {
  const Inference& c = GetParam();
  EXPECT_EQ(gnss::InferSatellite(c.talker, c.systemId, c.number), c.key) << c.legend;
}

constexpr SatKey K(Constellation c, int svid) { return {c, svid}; }
using C = Constellation;

INSTANTIATE_TEST_SUITE_P(
    Table, Infer,
    testing::Values(Inference{"GP_gps", Talker::GP, 0, 32, K(C::GPS, 32)},
                    Inference{"GP_sbas_33_is_prn_120", Talker::GP, 0, 33, K(C::SBAS, 120)},
                    Inference{"GP_sbas_64_is_prn_151", Talker::GP, 0, 64, K(C::SBAS, 151)},
                    Inference{"GN_glonass_65_is_slot_1", Talker::GN, 0, 65, K(C::GLONASS, 1)},
                    Inference{"GN_glonass_96_is_slot_32", Talker::GN, 0, 96, K(C::GLONASS, 32)},
                    Inference{"GN_97_is_unknown", Talker::GN, 0, 97, K(C::Unknown, 97)},
                    Inference{"GN_sbas_prn_as_is", Talker::GN, 0, 138, K(C::SBAS, 138)},
                    Inference{"GN_qzss_193", Talker::GN, 0, 193, K(C::QZSS, 1)},
                    Inference{"GN_202_reads_as_qzss", Talker::GN, 0, 202, K(C::QZSS, 10)},
                    Inference{"GN_214_is_beidou_14", Talker::GN, 0, 214, K(C::BeiDou, 14)},
                    Inference{"GN_ublox_extended_galileo", Talker::GN, 0, 336, K(C::Galileo, 36)},
                    Inference{"GN_ublox_extended_beidou", Talker::GN, 0, 437, K(C::BeiDou, 37)},
                    Inference{"GN_imes_unknown", Talker::GN, 0, 173, K(C::Unknown, 173)},
                    Inference{"GL_slot_7", Talker::GL, 0, 7, K(C::GLONASS, 7)},
                    Inference{"GL_71_is_slot_7", Talker::GL, 0, 71, K(C::GLONASS, 7)},
                    Inference{"GL_99_is_slot_35", Talker::GL, 0, 99, K(C::GLONASS, 35)},
                    Inference{"GA_5_is_galileo_not_gps", Talker::GA, 0, 5, K(C::Galileo, 5)},
                    Inference{"GA_quectel_105", Talker::GA, 0, 105, K(C::Galileo, 5)},
                    Inference{"GA_sbas_37", Talker::GA, 0, 37, K(C::SBAS, 124)},
                    Inference{"GB_37", Talker::GB, 0, 37, K(C::BeiDou, 37)},
                    Inference{"GB_63_not_sbas", Talker::GB, 0, 63, K(C::BeiDou, 63)},
                    Inference{"BD_214", Talker::BD, 0, 214, K(C::BeiDou, 14)},
                    Inference{"GB_209", Talker::GB, 0, 209, K(C::BeiDou, 9)},
                    Inference{"BD_401", Talker::BD, 0, 401, K(C::BeiDou, 1)},
                    Inference{"GQ_3", Talker::GQ, 0, 3, K(C::QZSS, 3)},
                    Inference{"QZ_195", Talker::QZ, 0, 195, K(C::QZSS, 3)},
                    Inference{"GI_3", Talker::GI, 0, 3, K(C::NavIC, 3)},
                    Inference{"GI_16_unknown", Talker::GI, 0, 16, K(C::Unknown, 16)},
                    Inference{"GN_system_1_gps", Talker::GN, 1, 13, K(C::GPS, 13)},
                    Inference{"GN_system_1_allystar_qzss", Talker::GN, 1, 195, K(C::QZSS, 3)},
                    Inference{"GN_system_2_82_is_slot_18", Talker::GN, 2, 82, K(C::GLONASS, 18)},
                    Inference{"GN_system_3_7", Talker::GN, 3, 7, K(C::Galileo, 7)},
                    Inference{"GN_system_4_13", Talker::GN, 4, 13, K(C::BeiDou, 13)},
                    Inference{"GN_system_5_2", Talker::GN, 5, 2, K(C::QZSS, 2)},
                    Inference{"GN_system_6_2", Talker::GN, 6, 2, K(C::NavIC, 2)},
                    Inference{"GP_system_3_wins_over_talker", Talker::GP, 3, 5, K(C::Galileo, 5)},
                    Inference{"system_0_falls_back_to_talker", Talker::GB, 0, 5, K(C::BeiDou, 5)},
                    Inference{"zero_is_no_satellite", Talker::GP, 0, 0, K(C::Unknown, 0)},
                    Inference{"negative_is_no_satellite", Talker::GP, 0, -5, K(C::Unknown, 0)},
                    Inference{"huge_stays_unknown", Talker::GP, 0, 2147483647, K(C::Unknown, 2147483647)}),
    [](const testing::TestParamInfo<Inference>& info) { return std::string(info.param.legend); });

TEST(Labels, PrefixLetterAndTwoDigits) {
  EXPECT_EQ(gnss::MakeLabel({C::GPS, 5}).view(), "G05");
  EXPECT_EQ(gnss::MakeLabel({C::GLONASS, 7}).view(), "R07");
  EXPECT_EQ(gnss::MakeLabel({C::Galileo, 11}).view(), "E11");
  EXPECT_EQ(gnss::MakeLabel({C::BeiDou, 14}).view(), "C14");
  EXPECT_EQ(gnss::MakeLabel({C::QZSS, 1}).view(), "J01");
  EXPECT_EQ(gnss::MakeLabel({C::NavIC, 3}).view(), "I03");
  EXPECT_EQ(gnss::MakeLabel({C::SBAS, 138}).view(), "S138");
  EXPECT_EQ(gnss::MakeLabel({C::Unknown, 173}).view(), "?173");
  EXPECT_EQ(gnss::MakeLabel({C::Unknown, -2147483647 - 1}).view(), "?-2147483648");  // fits
}

TEST(Keys, OrderIsConstellationThenSvid) {
  EXPECT_LT((SatKey{C::GPS, 32}), (SatKey{C::SBAS, 120}));
  EXPECT_LT((SatKey{C::GLONASS, 1}), (SatKey{C::Galileo, 1}));
  EXPECT_NE((SatKey{C::GPS, 5}), (SatKey{C::Galileo, 5}));
}

}  // namespace
