#include "gnss/gnss_json.h"

#include <charconv>

#include "nmea/json.h"

namespace gnss {
namespace {

void AppendInt(std::string& out, long long v) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  (void)ec;
  out.append(buf, end);
}

void AppendValue(std::string& out, bool present, int v) {
  if (present) {
    AppendInt(out, v);
  } else {
    out += "null";
  }
}

void AppendSat(std::string& out, const SkySat& s) {
  out += "{\"sys\":\"";
  out += ConstellationName(s.key.constellation);
  out += "\",\"svid\":";
  AppendInt(out, s.key.svid);
  out += ",\"label\":\"";
  out += s.label.view();
  out += "\",\"el\":";
  AppendValue(out, s.HasElevation(), s.elevation);
  out += ",\"az\":";
  AppendValue(out, s.HasAzimuth(), s.azimuth);
  out += ",\"cno\":";
  AppendValue(out, s.HasCno(), s.cno);
  out += ",\"used\":";
  out += s.used ? '1' : '0';
  out += ",\"signals\":[";
  bool first = true;
  for (int sig = 0; sig < 16; ++sig) {
    if (!(s.signals & (1u << sig))) continue;
    if (!first) out += ',';
    first = false;
    AppendInt(out, sig);
  }
  out += "]}";
}

void AppendSky(std::string& out, const GnssModel& model) {
  out += "\"svInView\":";
  AppendInt(out, model.InViewCount());
  out += ",\"sky\":[";
  bool first = true;
  for (const SkySat& s : model.SkyEntries()) {
    if (!first) out += ',';
    first = false;
    AppendSat(out, s);
  }
  out += ']';
}

void AppendState(std::string& out, const GnssModel& model) {
  out += "\"state\":{\"inUse\":";
  AppendInt(out, model.UsedCount());
  out += ",\"used\":[";
  bool first = true;
  for (const SatKey& k : model.UsedSatellites()) {
    if (!first) out += ',';
    first = false;
    out += '"';
    out += MakeLabel(k).view();
    out += '"';
  }
  out += "],";
  AppendSky(out, model);
  out += '}';
}

}  // namespace

void AppendJsonLine(std::string& out, std::string_view sentence, const nmea::Interpretation& r,
                    const GnssModel& model, const JsonOptions& options) {
  nmea::AppendJsonHead(out, sentence, r);
  if (r.changed & nmea::kChangedPosition) {
    out += ",\"latitude\":";
    AppendInt(out, model.LatitudeUnits());
    out += ",\"longitude\":";
    AppendInt(out, model.LongitudeUnits());
  }
  if (r.redrawViews) {
    out += ',';
    AppendSky(out, model);
  }
  if (options.withState) {
    out += ',';
    AppendState(out, model);
  }
  out += "}\n";
}

}  // namespace gnss
