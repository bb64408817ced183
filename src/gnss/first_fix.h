#pragma once
// The rule that ends a time-to-first-fix count in the "All constellations"
// mode, for the main window and for anything else that measures a first fix
// the same way:
//
//  - a GSA of any talker whose navigation mode is 2 (2D) or 3 (3D) is a fix,
//    at that very sentence;
//  - a receiver that sends no GSA reports its fix only in GGA and RMC: a GGA
//    quality 1 to 5 (autonomous, differential, PPS, RTK fixed, RTK float), or
//    an RMC status A whose mode indicator, when it has one, is not N (no
//    fix), E (dead reckoning), M (manual input) or S (simulator). Estimated,
//    manual and simulated positions (GGA 6, 7, 8) are no fix.
//
// Whether a receiver sends GSA is learnt from its epochs: once an epoch that
// carried a GSA has been seen, only GSA decides; once an epoch with a GGA or
// an RMC closed without one, GGA and RMC decide at the sentence that reports
// the fix. The first epoch of a receiver without GSA is judged when it
// closes, since until then a GSA may still come.

#include "gnss/gnss_model.h"

namespace gnss {

// GGA quality 1-5, or RMC status A with a mode that is none of N, E, M, S.
bool PositionFixReported(const EpochSummary& epoch);

class FirstFixRule {
 public:
  // Takes the Change bits of one Feed of `model`; true when that sentence
  // shows the receiver has a fix. True again for every later sentence that
  // does: the caller ends a count that runs and ignores the rest.
  bool Fed(unsigned changes, const GnssModel& model);
  // A new receiver: nothing is known about it.
  void Reset() { *this = FirstFixRule(); }

  bool SendsGsa() const { return sendsGsa_; }
  bool SendsNoGsa() const { return sendsNoGsa_; }

 private:
  bool sendsGsa_ = false;
  bool sendsNoGsa_ = false;
};

}  // namespace gnss
