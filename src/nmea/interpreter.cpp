#include "nmea/interpreter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "nmea/numbers.h"
#include "nmea/sentence.h"
#include "resources/main_ids.h"

namespace nmea {
namespace {

// Field n as the display shows it: "0" when empty or missing.
std::string_view Shown(const Fields& s, int n) {
  std::string_view f = s[n];
  return f.empty() ? std::string_view("0") : f;
}

std::int32_t IntField(const Fields& s, int n) { return AtoI(s[n]); }

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

void InterpretRmc(const Fields& s, Interpretation& out) {
  // Speed over ground in knots, converted with the receiver's factor.
  const std::int32_t kmh = TruncToInt(AtoF(s[8]) * 1.8518518);
  out.texts.emplace_back(ids::kSpeed, Format("%u km/h", static_cast<unsigned>(kmh)));
  out.texts.emplace_back(ids::kCourse, std::string(Shown(s, 9)));
}

void InterpretVersion(const Fields& s, Interpretation& out) {
  out.texts.emplace_back(ids::kVersion, std::string(Shown(s, 2)));
  out.restartTtff = true;
}

void InterpretGsa(const Fields& s, ReceiverState& st, Interpretation& out) {
  for (SatInfo& sat : st.sats) sat.used = 0;
  int inUse = 0;
  for (int f = 4; f <= 15; ++f) {
    const std::int32_t prn = IntField(s, f);
    if (prn > 0) {
      ++inUse;
      if (SatInfo* sat = st.SatFor(prn)) sat->used = 1;
    }
  }
  out.changed |= kChangedUsedFlags;
  out.texts.emplace_back(ids::kSvsInUse, Format("SVs in use  : %d", inUse));
  out.texts.emplace_back(ids::kPdop, Concat("PDOP=", Shown(s, 16)));
  out.texts.emplace_back(ids::kHdop, Concat("HDOP=", Shown(s, 17)));
  out.texts.emplace_back(ids::kVdop, Concat("VDOP=", Shown(s, 18)));
  const std::int32_t fix = IntField(s, 3);
  if (fix == 2 || fix == 3) {
    out.stopTtff = true;
    out.texts.emplace_back(ids::kFix, fix == 2 ? "Fix : 2D" : "Fix : 3D");
  } else {
    out.texts.emplace_back(ids::kFix, "Fix : not available");
  }
}

void InterpretGsv(const Fields& s, ReceiverState& st, Interpretation& out) {
  const std::int32_t total = IntField(s, 2);
  const std::int32_t number = IntField(s, 3);
  st.svInView = IntField(s, 4);
  if (st.svInView == 0) st.svInView = kDefaultSvInView;
  out.changed |= kChangedSatellites;
  for (int k = 0; k < 4; ++k) {
    // 64-bit so that any message number gives a defined slot; slots outside
    // the 16 that exist are neither written nor read.
    const std::int64_t c = 4 * (static_cast<std::int64_t>(number) - 1) + k;
    if (c >= st.svInView) break;
    if (c < 0 || c >= kChannelSlots) continue;
    const std::int32_t prn = IntField(s, 5 + 4 * k);
    st.channelPrn[static_cast<std::size_t>(c)] = prn;
    if (SatInfo* sat = st.SatFor(prn)) {
      sat->elevation = IntField(s, 6 + 4 * k);
      sat->azimuth = IntField(s, 7 + 4 * k);
      sat->snr = IntField(s, 8 + 4 * k);
    }
  }
  if (number == total && total > 0) {
    out.redrawViews = true;
    out.texts.emplace_back(ids::kSvsInView, Format("SVs in view : %d", static_cast<int>(st.svInView)));
  }
}

// ddmm.mmmm (or dddmm.mmmm) to 1/10000 arc-minute.
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

void InterpretGga(const Fields& s, ReceiverState& st, Interpretation& out) {
  const std::string_view t = Shown(s, 2);
  auto piece = [&](std::size_t pos) { return pos < t.size() ? t.substr(pos, 2) : std::string_view(); };
  std::string utc = "UTC = ";
  utc.append(piece(0)).append(":").append(piece(2)).append(":").append(piece(4));
  out.texts.emplace_back(ids::kUtc, std::move(utc));
  out.texts.emplace_back(ids::kAltitude, Concat(Shown(s, 10), " m"));

  // Empty fields read as "0", which parses as 0 like the text would.
  st.latitude = ParseCoordinate(Shown(s, 3));
  if (s[4] == "S") st.latitude = st.latitude == INT32_MIN ? INT32_MAX : -st.latitude;
  st.longitude = ParseCoordinate(Shown(s, 5));
  if (s[6] == "W") st.longitude = st.longitude == INT32_MIN ? INT32_MAX : -st.longitude;
  out.changed |= kChangedPosition;

  auto [lonDeg, lonMin] = CoordinateTexts(st.longitude, 'E', 'W');
  out.texts.emplace_back(ids::kLongitudeDeg, std::move(lonDeg));
  out.texts.emplace_back(ids::kLongitudeMin, std::move(lonMin));
  auto [latDeg, latMin] = CoordinateTexts(st.latitude, 'N', 'S');
  out.texts.emplace_back(ids::kLatitudeDeg, std::move(latDeg));
  out.texts.emplace_back(ids::kLatitudeMin, std::move(latMin));
}

}  // namespace

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

SentenceKind Classify(std::string_view s) {
  // Only field 1 decides; compare it without copying.
  std::string_view head = FieldView(s, 1);
  if (head == kHeadRmc) return SentenceKind::Rmc;
  if (head == kHeadVersion) return SentenceKind::Version;
  if (head == kHeadGsa) return SentenceKind::Gsa;
  if (head == kHeadGsv) return SentenceKind::Gsv;
  if (head == kHeadGga) return SentenceKind::Gga;
  return SentenceKind::Other;
}

void Interpret(std::string_view sentence, ReceiverState& st, Interpretation& out) {
  out.kind = Classify(sentence);
  out.texts.clear();
  out.stopTtff = out.restartTtff = out.redrawViews = false;
  out.changed = kChangedNothing;
  if (out.kind == SentenceKind::Other) return;
  const Fields s(sentence);
  switch (out.kind) {
    case SentenceKind::Rmc:
      InterpretRmc(s, out);
      break;
    case SentenceKind::Version:
      InterpretVersion(s, out);
      break;
    case SentenceKind::Gsa:
      InterpretGsa(s, st, out);
      break;
    case SentenceKind::Gsv:
      InterpretGsv(s, st, out);
      break;
    case SentenceKind::Gga:
      InterpretGga(s, st, out);
      break;
    case SentenceKind::Other:
      break;
  }
}

Interpretation Interpret(std::string_view s, ReceiverState& st) {
  Interpretation out;
  Interpret(s, st, out);
  return out;
}

}  // namespace nmea
