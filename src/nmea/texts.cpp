#include "nmea/texts.h"

#include <cstdio>
#include <string>

#include "nmea/numbers.h"
#include "resources/main_ids.h"

namespace nmea {
namespace {

// A field as the display shows it: "0" when empty or missing.
std::string_view Shown(std::string_view f) { return f.empty() ? std::string_view("0") : f; }

template <typename... Args>
std::string Format(const char* fmt, Args... args) {
  char buf[64];
  int len = std::snprintf(buf, sizeof buf, fmt, args...);
  if (len < 0) return {};
  return std::string(
      buf, static_cast<std::size_t>(len) < sizeof buf ? static_cast<std::size_t>(len) : sizeof buf - 1);
}

std::string Concat(std::string_view a, std::string_view b) {
  std::string r;
  r.reserve(a.size() + b.size());
  r.append(a);
  r.append(b);
  return r;
}

}  // namespace

void AppendMotionTexts(const Fields& s, Interpretation& out) {
  // Speed over ground in knots, converted with the receiver's factor.
  const std::int32_t kmh = TruncToInt(AtoF(s[8]) * 1.8518518);
  out.texts.emplace_back(ids::kSpeed, Format("%u km/h", static_cast<unsigned>(kmh)));
  out.texts.emplace_back(ids::kCourse, std::string(Shown(s[9])));
}

void AppendVersionText(const Fields& s, Interpretation& out) {
  out.texts.emplace_back(ids::kVersion, std::string(Shown(s[2])));
}

void AppendGsaTexts(int inUse, std::string_view pdop, std::string_view hdop, std::string_view vdop,
                    std::int32_t navMode, Interpretation& out) {
  out.texts.emplace_back(ids::kSvsInUse, Format("SVs in use  : %d", inUse));
  out.texts.emplace_back(ids::kPdop, Concat("PDOP=", Shown(pdop)));
  out.texts.emplace_back(ids::kHdop, Concat("HDOP=", Shown(hdop)));
  out.texts.emplace_back(ids::kVdop, Concat("VDOP=", Shown(vdop)));
  if (navMode == 2 || navMode == 3) {
    out.texts.emplace_back(ids::kFix, navMode == 2 ? "Fix : 2D" : "Fix : 3D");
  } else {
    out.texts.emplace_back(ids::kFix, "Fix : not available");
  }
}

void AppendInViewText(int inView, Interpretation& out) {
  out.texts.emplace_back(ids::kSvsInView, Format("SVs in view : %d", inView));
}

std::int32_t ParseCoordinate(std::string_view f) {
  const std::size_t dot = f.find('.');
  std::string_view degrees;
  std::string_view minutes;
  if (dot == std::string_view::npos || dot < 2) {
    minutes = f.substr(0, 7);
  } else {
    degrees = f.substr(0, dot - 2);
    minutes = f.substr(dot - 2, 7);
  }
  return TruncToInt((AtoF(degrees) * 60.0 + AtoF(minutes)) * 10000.0);
}

std::int32_t CoordinateUnits(std::string_view field, std::string_view hemisphere, std::string_view negative) {
  // Empty fields read as "0", which parses as 0 like the text would.
  const std::int32_t v = ParseCoordinate(Shown(field));
  if (hemisphere != negative) return v;
  return v == INT32_MIN ? INT32_MAX : -v;
}

void AppendGgaTexts(const Fields& s, std::int32_t& latitude, std::int32_t& longitude, Interpretation& out) {
  const std::string_view t = Shown(s[2]);
  auto piece = [&](std::size_t pos) { return pos < t.size() ? t.substr(pos, 2) : std::string_view(); };
  std::string utc = "UTC = ";
  utc.append(piece(0)).append(":").append(piece(2)).append(":").append(piece(4));
  out.texts.emplace_back(ids::kUtc, std::move(utc));
  out.texts.emplace_back(ids::kAltitude, Concat(Shown(s[10]), " m"));

  latitude = CoordinateUnits(s[3], s[4], "S");
  longitude = CoordinateUnits(s[5], s[6], "W");

  auto [lonDeg, lonMin] = CoordinateTexts(longitude, 'E', 'W');
  out.texts.emplace_back(ids::kLongitudeDeg, std::move(lonDeg));
  out.texts.emplace_back(ids::kLongitudeMin, std::move(lonMin));
  auto [latDeg, latMin] = CoordinateTexts(latitude, 'N', 'S');
  out.texts.emplace_back(ids::kLatitudeDeg, std::move(latDeg));
  out.texts.emplace_back(ids::kLatitudeMin, std::move(latMin));
}

std::pair<std::string, std::string> CoordinateTexts(std::int32_t value, char positive, char negative) {
  const char letter = value < 0 ? negative : positive;
  // |INT32_MIN| does not fit in 32 bits; work in 64.
  const std::int64_t a = value < 0 ? -static_cast<std::int64_t>(value) : value;
  const std::int64_t rest = a % 10000;
  return {Format("%c%03lld", letter, static_cast<long long>(a / 600000)),
          Format("%02lld'%02lld.%02lld\"", static_cast<long long>((a % 600000) / 10000),
                 static_cast<long long>((rest * 60) / 10000),
                 static_cast<long long>(((rest * 60) % 10000) / 100))};
}

}  // namespace nmea
