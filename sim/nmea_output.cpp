#include "sim/nmea_output.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "nmea/sentence.h"

namespace sim {
namespace {

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

template <typename... Args>
std::string Format(const char* fmt, Args... args) {
  char buf[128];
  const int len = std::snprintf(buf, sizeof buf, fmt, args...);
  if (len <= 0) return {};
  return std::string(
      buf, static_cast<std::size_t>(len) < sizeof buf ? static_cast<std::size_t>(len) : sizeof buf - 1);
}

struct UtcParts {
  int year, month, day, hour, minute, second, millis;
};

UtcParts PartsOf(Millis utc) {
  const Millis ms = utc >= 0 ? utc % 1000 : (1000 + utc % 1000) % 1000;
  const std::time_t seconds = static_cast<std::time_t>((utc - ms) / 1000);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,          tm.tm_hour,
          tm.tm_min,         tm.tm_sec,     static_cast<int>(ms)};
}

std::string TimeField(const UtcParts& u) {
  return Format("%02d%02d%02d.%03d", u.hour, u.minute, u.second, u.millis);
}

// "ddmm.mmmm,N" or "dddmm.mmmm,E".
std::string CoordinateFields(double degrees, bool latitude) {
  const char hemisphere = latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
  const long long tenThousandths = std::llround(std::fabs(degrees) * 60.0 * 10000.0);
  const long long whole = tenThousandths / 600000;
  const long long minutes = tenThousandths % 600000;
  return Format(latitude ? "%02lld%02lld.%04lld,%c" : "%03lld%02lld.%04lld,%c", whole, minutes / 10000,
                minutes % 10000, hemisphere);
}

std::string PositionFields(const Observation& o) {
  return CoordinateFields(o.position.latitude, true) + "," + CoordinateFields(o.position.longitude, false);
}

bool HasFix(const Observation& o) { return o.fix != FixState::None; }

std::string Dop(double value) { return Format("%.1f", std::fmin(value, 99.9)); }

std::string Gga(const Observation& o) {
  const UtcParts u = PartsOf(o.utc);
  std::string s = "$GPGGA," + TimeField(u) + ",";
  if (HasFix(o)) {
    s += PositionFields(o);
    s += Format(",1,%02d,", static_cast<int>(o.usedPrns.size())) + Dop(o.dops.hdop);
    s += Format(",%.1f,M,0.0,M,,", o.position.altitude);
  } else {
    s += ",,,,0,00,,,M,,M,,";
  }
  return Line(std::move(s));
}

std::string Gll(const Observation& o) {
  const UtcParts u = PartsOf(o.utc);
  std::string s = "$GPGLL,";
  s += HasFix(o) ? PositionFields(o) : ",,,";
  s += "," + TimeField(u) + (HasFix(o) ? ",A,A" : ",V,N");
  return Line(std::move(s));
}

std::string Gsa(const Observation& o) {
  std::string s = Format("$GPGSA,A,%d", static_cast<int>(o.fix));
  for (std::size_t i = 0; i < 12; ++i) {
    s += ",";
    if (HasFix(o) && i < o.usedPrns.size()) s += Format("%02d", o.usedPrns[i]);
  }
  if (HasFix(o)) {
    s += "," + Dop(o.dops.pdop) + "," + Dop(o.dops.hdop) + ",";
    if (o.fix == FixState::ThreeD) s += Dop(o.dops.vdop);
  } else {
    s += ",,,";
  }
  return Line(std::move(s));
}

std::string Gsv(const Observation& o) {
  const int count = static_cast<int>(o.inView.size());
  const int total = count == 0 ? 1 : (count + 3) / 4;
  std::string out;
  for (int n = 1; n <= total; ++n) {
    std::string s = Format("$GPGSV,%d,%d,%02d", total, n, count);
    for (int k = 4 * (n - 1); k < count && k < 4 * n; ++k) {
      const SatObservation& sat = o.inView[static_cast<std::size_t>(k)];
      s += Format(",%02d,%02d,%03d,", sat.prn, sat.elevation, sat.azimuth);
      if (sat.snr > 0) s += Format("%02d", sat.snr);
    }
    out += Line(std::move(s));
  }
  return out;
}

std::string Rmc(const Observation& o) {
  const UtcParts u = PartsOf(o.utc);
  std::string s = "$GPRMC," + TimeField(u);
  if (HasFix(o)) {
    s += ",A," + PositionFields(o) + Format(",%.2f,%.2f,", o.speed * kKnotsPerMetrePerSecond, o.course);
  } else {
    s += ",V,,,,,,,";
  }
  s += Format("%02d%02d%02d,,,", u.day, u.month, u.year % 100);
  s += HasFix(o) ? "A" : "N";
  return Line(std::move(s));
}

std::string Vtg(const Observation& o) {
  if (!HasFix(o)) return Line("$GPVTG,,T,,M,,N,,K,N");
  return Line(
      Format("$GPVTG,%.2f,T,,M,%.2f,N,%.2f,K,A", o.course, o.speed * kKnotsPerMetrePerSecond, o.speed * 3.6));
}

std::string Zda(const Observation& o) {
  const UtcParts u = PartsOf(o.utc);
  return Line("$GPZDA," + TimeField(u) + Format(",%02d,%02d,%04d,00,00", u.day, u.month, u.year));
}

}  // namespace

std::string Line(std::string body) {
  nmea::AppendChecksum(body);
  body += "\r\n";
  return body;
}

std::string FormatMessage(Message message, const Observation& o) {
  switch (message) {
    case Message::Gga:
      return Gga(o);
    case Message::Gll:
      return Gll(o);
    case Message::Gsa:
      return Gsa(o);
    case Message::Gsv:
      return Gsv(o);
    case Message::Rmc:
      return Rmc(o);
    case Message::Vtg:
      return Vtg(o);
    case Message::Zda:
      return Zda(o);
  }
  return {};
}

std::string EpochText(const OutputConfig& config, std::int64_t epochIndex, const Observation& o) {
  std::string out;
  for (Message m : config.order) {
    const int rate = config.RateOf(m) < 1 ? 1 : config.RateOf(m);
    if (epochIndex % rate == 0) out += FormatMessage(m, o);
  }
  return out;
}

std::string VersionReply(std::string_view version) {
  std::string s = "$PVLX600 Velorin QK7720,";
  s += version;
  return Line(std::move(s));
}

}  // namespace sim
