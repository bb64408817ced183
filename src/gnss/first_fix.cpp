#include "gnss/first_fix.h"

namespace gnss {

bool PositionFixReported(const EpochSummary& epoch) {
  if (epoch.ggaQuality && *epoch.ggaQuality >= 1 && *epoch.ggaQuality <= 5) return true;
  if (epoch.rmcStatus != 'A') return false;
  switch (epoch.rmcMode) {
    case 'N':
    case 'E':
    case 'M':
    case 'S':
      return false;
    default:
      return true;
  }
}

bool FirstFixRule::Fed(unsigned changes, const GnssModel& model) {
  bool fix = (changes & kFixReported) != 0;
  if (model.LastType() == SentenceType::Gsa) sendsGsa_ = true;
  if (changes & kEpochClosed) {
    const EpochSummary& closed = model.LastEpoch();
    if (closed.usedFromThisEpoch) {
      sendsGsa_ = true;
    } else if (!sendsGsa_ && (closed.ggaQuality || closed.rmcStatus != 0)) {
      // Judged now only while nothing was known; afterwards its GGA and RMC
      // were judged as they came.
      if (!sendsNoGsa_ && PositionFixReported(closed)) fix = true;
      sendsNoGsa_ = true;
    }
  }
  if (sendsNoGsa_ && !sendsGsa_ && (changes & (kChangedPosition | kChangedMotion)) &&
      PositionFixReported(model.CurrentEpoch()))
    fix = true;
  return fix;
}

}  // namespace gnss
