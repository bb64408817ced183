#include "nmea/interpreter.h"

#include <cstdint>

#include "nmea/numbers.h"
#include "nmea/sentence.h"
#include "nmea/texts.h"

namespace nmea {
namespace {

std::int32_t IntField(const Fields& s, int n) { return AtoI(s[n]); }

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
  const std::int32_t fix = IntField(s, 3);
  out.stopTtff = fix == 2 || fix == 3;
  AppendGsaTexts(inUse, s[16], s[17], s[18], fix, out);
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
    AppendInViewText(static_cast<int>(st.svInView), out);
  }
}

void InterpretGga(const Fields& s, ReceiverState& st, Interpretation& out) {
  AppendGgaTexts(s, st.latitude, st.longitude, out);
  out.changed |= kChangedPosition;
}

}  // namespace

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
      AppendMotionTexts(s, out);
      break;
    case SentenceKind::Version:
      AppendVersionText(s, out);
      out.restartTtff = true;
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
