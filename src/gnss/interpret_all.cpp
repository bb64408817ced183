#include "gnss/interpret_all.h"

#include <cstdint>

#include "nmea/sentence.h"
#include "nmea/texts.h"

namespace gnss {

unsigned InterpretAll(std::string_view sentence, GnssModel& model, nmea::Interpretation& out) {
  out.kind = nmea::SentenceKind::Other;
  out.texts.clear();
  out.stopTtff = out.restartTtff = out.redrawViews = false;
  out.changed = nmea::kChangedNothing;

  const nmea::Fields f(sentence);
  const unsigned c = model.Feed(sentence, f);

  if (c & kChangedUsed) {
    nmea::AppendGsaTexts(model.UsedCount(), model.PdopText(), model.HdopText(), model.VdopText(),
                         model.NavMode(), out);
    out.changed |= nmea::kChangedUsedFlags;
  }
  switch (model.LastType()) {
    case SentenceType::Gga:
      out.kind = nmea::SentenceKind::Gga;
      if (c & kChangedPosition) {
        std::int32_t latitude = 0;
        std::int32_t longitude = 0;
        nmea::AppendGgaTexts(f, latitude, longitude, out);
        out.changed |= nmea::kChangedPosition;
      }
      break;
    case SentenceType::Rmc:
      out.kind = nmea::SentenceKind::Rmc;
      if (c & kChangedMotion) nmea::AppendMotionTexts(f, out);
      break;
    case SentenceType::Version:
      out.kind = nmea::SentenceKind::Version;
      nmea::AppendVersionText(f, out);
      out.restartTtff = true;
      break;
    case SentenceType::Gsa:
      out.kind = nmea::SentenceKind::Gsa;
      break;
    case SentenceType::Gsv:
      out.kind = nmea::SentenceKind::Gsv;
      break;
    default:
      break;
  }
  if (c & kFixReported) out.stopTtff = true;
  if (c & kChangedSky) {
    out.redrawViews = true;
    nmea::AppendInViewText(model.InViewCount(), out);
    out.changed |= nmea::kChangedSatellites;
  }
  return c;
}

nmea::Interpretation InterpretAll(std::string_view sentence, GnssModel& model) {
  nmea::Interpretation out;
  InterpretAll(sentence, model, out);
  return out;
}

}  // namespace gnss
