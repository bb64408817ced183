#include "gnss/constellation.h"

#include <charconv>

namespace gnss {
namespace {

constexpr std::string_view kTalkerTexts[kTalkerCount] = {"GP", "GL", "GA", "GB", "BD",
                                                         "GQ", "GI", "GN", "QZ", "PQ"};

constexpr SatKey None(std::int32_t number) { return {Constellation::Unknown, number > 0 ? number : 0}; }

constexpr bool In(std::int32_t n, std::int32_t lo, std::int32_t hi) { return n >= lo && n <= hi; }

// Numbers every talker may carry in u-blox's extended numbering.
bool Extended(std::int32_t n, SatKey& key) {
  if (In(n, 301, 336)) {
    key = {Constellation::Galileo, n - 300};
    return true;
  }
  if (In(n, 401, 437)) {
    key = {Constellation::BeiDou, n - 400};
    return true;
  }
  return false;
}

SatKey GpsNumbers(std::int32_t n, bool combined) {
  if (In(n, 1, 32)) return {Constellation::GPS, n};
  if (In(n, 33, 64)) return {Constellation::SBAS, n + 87};
  if (In(n, 65, 96)) return {Constellation::GLONASS, n - 64};
  if (In(n, 120, 158)) return {Constellation::SBAS, n};
  if (In(n, 193, 202)) return {Constellation::QZSS, n - 192};
  if (combined && In(n, 203, 237)) return {Constellation::BeiDou, n - 200};
  SatKey key;
  if (Extended(n, key)) return key;
  return None(n);
}

SatKey GlonassNumbers(std::int32_t n) {
  if (In(n, 1, 32)) return {Constellation::GLONASS, n};
  if (In(n, 33, 64)) return {Constellation::SBAS, n + 87};
  if (In(n, 65, 99)) return {Constellation::GLONASS, n - 64};
  return None(n);
}

SatKey GalileoNumbers(std::int32_t n) {
  if (In(n, 1, 36)) return {Constellation::Galileo, n};
  if (In(n, 37, 64)) return {Constellation::SBAS, n + 87};
  if (In(n, 101, 136)) return {Constellation::Galileo, n - 100};
  if (In(n, 301, 336)) return {Constellation::Galileo, n - 300};
  return None(n);
}

SatKey BeidouNumbers(std::int32_t n) {
  if (In(n, 1, 64)) return {Constellation::BeiDou, n};
  if (In(n, 201, 264)) return {Constellation::BeiDou, n - 200};
  if (In(n, 401, 464)) return {Constellation::BeiDou, n - 400};
  return None(n);
}

SatKey QzssNumbers(std::int32_t n) {
  if (In(n, 1, 10)) return {Constellation::QZSS, n};
  if (In(n, 55, 63)) return {Constellation::SBAS, n + 87};
  if (In(n, 193, 202)) return {Constellation::QZSS, n - 192};
  return None(n);
}

SatKey NavicNumbers(std::int32_t n) {
  if (In(n, 1, 15)) return {Constellation::NavIC, n};
  if (In(n, 33, 64)) return {Constellation::SBAS, n + 87};
  return None(n);
}

SatKey ByConstellation(Constellation c, std::int32_t n, bool combined) {
  switch (c) {
    case Constellation::GPS:
      return GpsNumbers(n, combined);
    case Constellation::GLONASS:
      return GlonassNumbers(n);
    case Constellation::Galileo:
      return GalileoNumbers(n);
    case Constellation::BeiDou:
      return BeidouNumbers(n);
    case Constellation::QZSS:
      return QzssNumbers(n);
    case Constellation::NavIC:
      return NavicNumbers(n);
    case Constellation::SBAS:
    case Constellation::Unknown:
      break;
  }
  return GpsNumbers(n, true);
}

}  // namespace

bool ParseTalker(std::string_view two, Talker& talker) {
  if (two.size() != 2) return false;
  for (int i = 0; i < kTalkerCount; ++i) {
    if (kTalkerTexts[i] == two) {
      talker = static_cast<Talker>(i);
      return true;
    }
  }
  return false;
}

std::string_view TalkerText(Talker talker) {
  const auto i = static_cast<int>(talker);
  return i >= 0 && i < kTalkerCount ? kTalkerTexts[i] : std::string_view("??");
}

Constellation TalkerConstellation(Talker talker) {
  switch (talker) {
    case Talker::GP:
      return Constellation::GPS;
    case Talker::GL:
      return Constellation::GLONASS;
    case Talker::GA:
      return Constellation::Galileo;
    case Talker::GB:
    case Talker::BD:
      return Constellation::BeiDou;
    case Talker::GQ:
    case Talker::QZ:
    case Talker::PQ:
      return Constellation::QZSS;
    case Talker::GI:
      return Constellation::NavIC;
    case Talker::GN:
      break;
  }
  return Constellation::Unknown;
}

Constellation SystemIdConstellation(int systemId) {
  switch (systemId) {
    case 1:
      return Constellation::GPS;
    case 2:
      return Constellation::GLONASS;
    case 3:
      return Constellation::Galileo;
    case 4:
      return Constellation::BeiDou;
    case 5:
      return Constellation::QZSS;
    case 6:
      return Constellation::NavIC;
    default:
      return Constellation::Unknown;
  }
}

SatKey InferSatellite(Talker talker, int systemId, std::int32_t number) {
  if (number < 1) return None(number);
  const Constellation bySystem = SystemIdConstellation(systemId);
  if (bySystem != Constellation::Unknown) return ByConstellation(bySystem, number, false);
  const Constellation byTalker = TalkerConstellation(talker);
  if (byTalker == Constellation::GPS) return GpsNumbers(number, true);
  if (byTalker == Constellation::Unknown) return GpsNumbers(number, true);
  SatKey key = ByConstellation(byTalker, number, false);
  if (key.constellation == Constellation::Unknown) Extended(number, key);
  return key;
}

char PrefixLetter(Constellation c) {
  switch (c) {
    case Constellation::GPS:
      return 'G';
    case Constellation::SBAS:
      return 'S';
    case Constellation::GLONASS:
      return 'R';
    case Constellation::Galileo:
      return 'E';
    case Constellation::BeiDou:
      return 'C';
    case Constellation::QZSS:
      return 'J';
    case Constellation::NavIC:
      return 'I';
    case Constellation::Unknown:
      break;
  }
  return '?';
}

std::string_view ConstellationName(Constellation c) {
  switch (c) {
    case Constellation::GPS:
      return "GPS";
    case Constellation::SBAS:
      return "SBAS";
    case Constellation::GLONASS:
      return "GLONASS";
    case Constellation::Galileo:
      return "Galileo";
    case Constellation::BeiDou:
      return "BeiDou";
    case Constellation::QZSS:
      return "QZSS";
    case Constellation::NavIC:
      return "NavIC";
    case Constellation::Unknown:
      break;
  }
  return "Unknown";
}

std::int32_t MaxSvid(Constellation c) {
  switch (c) {
    case Constellation::GPS:
      return 32;
    case Constellation::SBAS:
      return 158;
    case Constellation::GLONASS:
      return 35;
    case Constellation::Galileo:
      return 36;
    case Constellation::BeiDou:
      return 64;
    case Constellation::QZSS:
      return 10;
    case Constellation::NavIC:
      return 15;
    case Constellation::Unknown:
      break;
  }
  return 0;
}

SatLabel MakeLabel(SatKey key) {
  SatLabel label;
  char* p = label.text.data();
  char* const end = p + label.text.size() - 1;
  *p++ = PrefixLetter(key.constellation);
  if (key.svid >= 0 && key.svid < 10) *p++ = '0';
  p = std::to_chars(p, end, key.svid).ptr;
  *p = '\0';
  label.size = static_cast<std::uint8_t>(p - label.text.data());
  return label;
}

}  // namespace gnss
