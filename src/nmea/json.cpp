#include "nmea/json.h"

#include <charconv>

namespace nmea {
namespace {

void AppendInt(std::string& out, long long v) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  (void)ec;
  out.append(buf, end);
}

void AppendSat(std::string& out, const SatInfo& s) {
  out += "\"elevation\":";
  AppendInt(out, s.elevation);
  out += ",\"azimuth\":";
  AppendInt(out, s.azimuth);
  out += ",\"snr\":";
  AppendInt(out, s.snr);
  out += ",\"used\":";
  AppendInt(out, s.used);
}

void AppendSlots(std::string& out, const ReceiverState& st) {
  out += "\"svInView\":";
  AppendInt(out, st.svInView);
  out += ",\"slots\":[";
  for (int c = 0; c < st.ViewSlotCount(); ++c) {
    if (c) out += ',';
    const std::int32_t prn = st.channelPrn[static_cast<std::size_t>(c)];
    out += "{\"prn\":";
    AppendInt(out, prn);
    out += ',';
    const SatInfo* sat = st.SatFor(prn);
    AppendSat(out, sat ? *sat : SatInfo{});  // a slot without an entry reads as all 0
    out += '}';
  }
  out += ']';
}

void AppendState(std::string& out, const ReceiverState& st) {
  out += "\"state\":{";
  AppendSlots(out, st);
  out += ",\"channelPrn\":[";
  for (std::size_t c = 0; c < st.channelPrn.size(); ++c) {
    if (c) out += ',';
    AppendInt(out, st.channelPrn[c]);
  }
  out += "],\"sats\":[";
  for (std::size_t p = 0; p < st.sats.size(); ++p) {
    if (p) out += ',';
    out += "{\"prn\":";
    AppendInt(out, static_cast<long long>(p) + 1);
    out += ',';
    AppendSat(out, st.sats[p]);
    out += '}';
  }
  out += "],\"latitude\":";
  AppendInt(out, st.latitude);
  out += ",\"longitude\":";
  AppendInt(out, st.longitude);
  out += '}';
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c >= 0x20 && c < 0x7F) {
      out += ch;
    } else {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  out += '"';
}

void AppendJsonHead(std::string& out, std::string_view sentence, const Interpretation& r) {
  out += "{\"sentence\":";
  AppendJsonString(out, sentence);
  out += ",\"texts\":{";
  bool first = true;
  for (const auto& [id, text] : r.texts) {
    if (!first) out += ',';
    first = false;
    out += '"';
    AppendInt(out, id);
    out += "\":";
    AppendJsonString(out, text);
  }
  out += "},\"actions\":[";
  first = true;
  auto action = [&](bool on, const char* name) {
    if (!on) return;
    if (!first) out += ',';
    first = false;
    out += name;
  };
  action(r.stopTtff, "\"stopTtff\"");
  action(r.restartTtff, "\"restartTtff\"");
  action(r.redrawViews, "\"redrawViews\"");
  out += ']';
}

void AppendJsonLine(std::string& out, std::string_view sentence, const Interpretation& r,
                    const ReceiverState& st, const JsonOptions& options) {
  AppendJsonHead(out, sentence, r);
  if (r.kind == SentenceKind::Gga) {
    out += ",\"latitude\":";
    AppendInt(out, st.latitude);
    out += ",\"longitude\":";
    AppendInt(out, st.longitude);
  }
  if (r.redrawViews) {
    out += ',';
    AppendSlots(out, st);
  }
  if (options.withState) {
    out += ',';
    AppendState(out, st);
  }
  out += "}\n";
}

}  // namespace nmea
