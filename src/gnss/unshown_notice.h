#pragma once
// Notices when the GPS-only window shows nothing of what a receiver reports:
// for 5 s, sentences of a kind the window reads (GGA, RMC, GSA, GSV) arrive
// only from other talkers (GN, GL, GA, GB, BD, GQ, GI, QZ, PQ) and never
// from GP, while they go on arriving. A receiver that talks GN only shows
// nothing at all; one that sends GNGGA, GNRMC and GNGSA beside GPGSV shows
// its GPS satellites but no position, time, DOPs or fix. Both get the
// notice; a GP receiver never does, even when it adds GLGSV.
//
// The notice goes away when every such kind arrives from GP again, or when
// the other talkers' sentences of every such kind stop for 5 s.
//
// Times are milliseconds of any steady clock, given with each sentence.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "gnss/constellation.h"

namespace gnss {

class UnshownNotice {
 public:
  static constexpr std::int64_t kQuietMs = 5000;

  // Takes one sentence (from "$" up to, not including, the CR) and the time
  // it arrived. Returns true when Visible() changed.
  bool Feed(std::string_view sentence, std::int64_t nowMs);
  bool Visible() const { return visible_; }

  // The heads of the other talkers' GGA, RMC, GSA and GSV sentences that
  // arrived in the last 5 s, by kind (GGA, RMC, GSA, GSV) and talker:
  // "GNGGA, GNRMC, GNGSA, GLGSV".
  std::string Heads() const;
  // "Receiving <Heads()> that this window does not show. Click to turn on
  // All constellations."
  std::string Text() const;

  void Reset() { *this = UnshownNotice(); }

 private:
  static constexpr int kKinds = 4;  // GGA, RMC, GSA, GSV
  static constexpr std::int64_t kNever = INT64_MIN;
  struct Kind {
    std::int64_t othersSince = kNever;  // first other talker's since the last GP one
    std::int64_t othersLast = kNever;
    std::array<std::int64_t, kTalkerCount> lastFrom{};  // per talker; kNever when not seen
  };
  bool Recent(std::int64_t at) const { return at != kNever && now_ - at < kQuietMs; }

  std::array<Kind, kKinds> kinds_ = [] {
    std::array<Kind, kKinds> k{};
    for (Kind& one : k) one.lastFrom.fill(kNever);
    return k;
  }();
  std::int64_t now_ = 0;
  bool visible_ = false;
};

}  // namespace gnss
