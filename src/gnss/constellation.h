#pragma once
// Constellations, talkers and satellite keys of multi-constellation NMEA 0183.
//
// A satellite is keyed by (constellation, svid), never by the number a
// sentence carries: GPS 5 and Galileo 5 are two satellites. The svid is the
// constellation's own number:
//
//   GPS      1-32   PRN                    label G05
//   SBAS     120-158 PRN                   label S138 (the PRN, as SBAS
//                                          operators publish it)
//   GLONASS  1-35   orbital slot           label R07 (NMEA 65-99 minus 64;
//                                          the slot is what almanacs,
//                                          RINEX and receiver tools show)
//   Galileo  1-36   PRN                    label E11
//   BeiDou   1-64   PRN                    label C14
//   QZSS     1-10   PRN minus 192          label J01
//   NavIC    1-15   PRN                    label I03
//   Unknown  the number as received        label ?173
//
// Labels are made only at the edge (SatLabel); everything else compares keys.

#include <array>
#include <cstdint>
#include <string_view>

namespace gnss {

// In display order: the order of this list is the order of satellites in
// every sorted listing.
enum class Constellation : std::uint8_t { GPS, SBAS, GLONASS, Galileo, BeiDou, QZSS, NavIC, Unknown };
inline constexpr int kConstellationCount = 8;

// Talker identifiers of GNSS sentences. GN is the combined solution; QZ and
// PQ are older or vendor spellings of GQ; BD is BeiDou's legacy talker.
enum class Talker : std::uint8_t { GP, GL, GA, GB, BD, GQ, GI, GN, QZ, PQ };
inline constexpr int kTalkerCount = 10;

struct SatKey {
  Constellation constellation = Constellation::Unknown;
  std::int32_t svid = 0;  // see the table above; 0 never names a satellite

  friend bool operator==(const SatKey&, const SatKey&) = default;
  // Constellation order first, then svid.
  friend auto operator<=>(const SatKey& a, const SatKey& b) = default;
};

// The two characters after "$" of a GNSS sentence head; false for anything
// else (other talkers such as "II" or "EC", lower case, wrong length).
bool ParseTalker(std::string_view two, Talker& talker);
std::string_view TalkerText(Talker talker);  // "GP", "GL", ...

// The single constellation a talker stands for; Unknown for GN.
Constellation TalkerConstellation(Talker talker);

// NMEA 4.10/4.11 system id (GSA field 18 after the head, also GBS and GRS):
// 1 GPS, 2 GLONASS, 3 Galileo, 4 BeiDou, 5 QZSS, 6 NavIC; anything else
// (0 = not given) is Unknown.
Constellation SystemIdConstellation(int systemId);

// The satellite a sentence means by `number`. `systemId` (1-6) wins over the
// talker when given; otherwise the talker decides, and under GP and GN (and
// any talker for the u-blox extended ranges) the number alone:
//
//   any system     33-64 SBAS (PRN = n + 87) where the system numbers SBAS
//                  there (GPS, GLONASS, NavIC 33-64; Galileo 37-64; QZSS 55-63)
//   GPS / GP / GN  1-32 GPS, 65-96 GLONASS, 120-158 SBAS, 193-202 QZSS,
//                  203-237 BeiDou (n - 200; GN and GP only), 301-336 Galileo,
//                  401-437 BeiDou
//   GLONASS / GL   1-32 slot n, 65-99 slot n - 64
//   Galileo / GA   1-36, 101-136 (n - 100), 301-336 (n - 300)
//   BeiDou / GB BD 1-64, 201-264 (n - 200), 401-464 (n - 400)
//   QZSS / GQ QZ PQ 1-10, 193-202 (n - 192)
//   NavIC / GI     1-15
//
// 201 and 202 under GP or GN read as QZSS (J09, J10): a combined talker
// cannot tell them from BeiDou C01 and C02. A number no rule covers gives
// {Unknown, number}; a number below 1 gives {Unknown, 0}, which is no
// satellite.
SatKey InferSatellite(Talker talker, int systemId, std::int32_t number);

// One letter per constellation: G R E C J I, S for SBAS, ? for Unknown.
char PrefixLetter(Constellation c);
std::string_view ConstellationName(Constellation c);  // "GPS", "GLONASS", ...

// Highest svid of a constellation (lowest is 1, SBAS 120); 0 for Unknown.
std::int32_t MaxSvid(Constellation c);

// A display label such as "G05", "R07", "S138" or "?173", in a small buffer.
struct SatLabel {
  std::array<char, 13> text{};  // NUL-terminated
  std::uint8_t size = 0;
  std::string_view view() const { return {text.data(), size}; }
};
SatLabel MakeLabel(SatKey key);

}  // namespace gnss
