#include "gnss/unshown_notice.h"

#include "nmea/sentence.h"

namespace gnss {
namespace {

constexpr std::string_view kKindTexts[] = {"GGA", "RMC", "GSA", "GSV"};

// The kind (0-3) and talker of a GGA, RMC, GSA or GSV head; -1 for any other.
int KindOf(std::string_view head, Talker& talker) {
  if (head.size() != 6 || head[0] != '$' || !ParseTalker(head.substr(1, 2), talker)) return -1;
  for (int k = 0; k < 4; ++k)
    if (head.substr(3) == kKindTexts[k]) return k;
  return -1;
}

}  // namespace

bool UnshownNotice::Feed(std::string_view sentence, std::int64_t nowMs) {
  if (nowMs > now_) now_ = nowMs;  // a clock never runs back here
  Talker talker = Talker::GP;
  const int k = KindOf(nmea::FieldView(sentence, 1), talker);
  if (k >= 0) {
    Kind& kind = kinds_[static_cast<std::size_t>(k)];
    if (talker == Talker::GP) {
      kind.othersSince = kNever;  // the window reads this kind again
    } else {
      if (kind.othersSince == kNever) kind.othersSince = now_;
      kind.othersLast = now_;
      kind.lastFrom[static_cast<std::size_t>(talker)] = now_;
    }
  }
  bool visible = false;
  for (const Kind& kind : kinds_) {
    if (kind.othersSince != kNever && now_ - kind.othersSince >= kQuietMs && Recent(kind.othersLast))
      visible = true;
  }
  const bool changed = visible != visible_;
  visible_ = visible;
  return changed;
}

std::string UnshownNotice::Heads() const {
  std::string out;
  for (int k = 0; k < kKinds; ++k) {
    const Kind& kind = kinds_[static_cast<std::size_t>(k)];
    for (int t = 0; t < kTalkerCount; ++t) {
      if (!Recent(kind.lastFrom[static_cast<std::size_t>(t)])) continue;
      if (!out.empty()) out += ", ";
      out += TalkerText(static_cast<Talker>(t));
      out += kKindTexts[k];
    }
  }
  return out;
}

std::string UnshownNotice::Text() const {
  return "Receiving " + Heads() + " that this window does not show. Click to turn on All constellations.";
}

}  // namespace gnss
