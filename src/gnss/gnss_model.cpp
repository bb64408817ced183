#include "gnss/gnss_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "nmea/interpreter.h"
#include "nmea/numbers.h"
#include "nmea/texts.h"

namespace gnss {
namespace {

// Position of a known-constellation key in one dense table, or -1.
constexpr int kDenseBase[kConstellationCount] = {
    0, 32, 32 + 39, 32 + 39 + 35, 32 + 39 + 35 + 36, 32 + 39 + 35 + 36 + 64, 32 + 39 + 35 + 36 + 64 + 10, -1};

int Dense(SatKey key) {
  const auto c = static_cast<int>(key.constellation);
  if (c < 0 || c >= kConstellationCount || kDenseBase[c] < 0) return -1;
  const std::int32_t lo = key.constellation == Constellation::SBAS ? 120 : 1;
  if (key.svid < lo || key.svid > MaxSvid(key.constellation)) return -1;
  return kDenseBase[c] + (key.svid - lo);
}

struct HeadType {
  std::string_view text;
  SentenceType type;
};
constexpr HeadType kTypes[] = {
    {"GGA", SentenceType::Gga}, {"RMC", SentenceType::Rmc}, {"GSA", SentenceType::Gsa},
    {"GSV", SentenceType::Gsv}, {"GLL", SentenceType::Gll}, {"VTG", SentenceType::Vtg},
    {"ZDA", SentenceType::Zda}, {"GNS", SentenceType::Gns}, {"GST", SentenceType::Gst},
    {"GBS", SentenceType::Gbs}, {"GRS", SentenceType::Grs},
};

bool ParseHead(std::string_view head, Talker& talker, SentenceType& type) {
  if (head.size() != 6 || head[0] != '$' || !ParseTalker(head.substr(1, 2), talker)) return false;
  const std::string_view t = head.substr(3);
  for (const HeadType& h : kTypes) {
    if (h.text == t) {
      type = h.type;
      return true;
    }
  }
  return false;
}

// The position of a timed kind among the timed kinds, or -1.
int TimedIndex(SentenceType type) {
  switch (type) {
    case SentenceType::Gga:
      return 0;
    case SentenceType::Rmc:
      return 1;
    case SentenceType::Gll:
      return 2;
    case SentenceType::Gns:
      return 3;
    case SentenceType::Zda:
      return 4;
    case SentenceType::Gst:
      return 5;
    case SentenceType::Gbs:
      return 6;
    case SentenceType::Grs:
      return 7;
    default:
      return -1;
  }
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (Digit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// hhmmss[.s...] to milliseconds of the day.
std::optional<std::int32_t> ParseUtc(std::string_view f) {
  if (f.size() < 6) return std::nullopt;
  for (std::size_t i = 0; i < 6; ++i)
    if (!Digit(f[i])) return std::nullopt;
  const int hh = (f[0] - '0') * 10 + (f[1] - '0');
  const int mm = (f[2] - '0') * 10 + (f[3] - '0');
  const int ss = (f[4] - '0') * 10 + (f[5] - '0');
  if (hh > 23 || mm > 59 || ss > 60) return std::nullopt;
  int ms = 0;
  if (f.size() > 6) {
    if (f[6] != '.') return std::nullopt;
    int scale = 100;
    for (std::size_t i = 7; i < f.size(); ++i) {
      if (!Digit(f[i])) return std::nullopt;
      ms += (f[i] - '0') * scale;
      scale /= 10;
    }
  }
  return ((hh * 60 + mm) * 60 + ss) * 1000 + ms;
}

std::optional<int> OptInt(std::string_view f) {
  if (f.empty()) return std::nullopt;
  return nmea::AtoI(f);
}

std::optional<double> OptDouble(std::string_view f) {
  if (f.empty()) return std::nullopt;
  const double v = nmea::AtoF(f);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

char FirstChar(std::string_view f) { return f.empty() ? '\0' : f[0]; }

// ddmm.mmmm with its hemisphere to signed degrees; nothing when empty or
// not a coordinate.
std::optional<double> Degrees(std::string_view f, std::string_view hemisphere, char positive, char negative,
                              double limit) {
  if (f.empty() || hemisphere.size() != 1 || (hemisphere[0] != positive && hemisphere[0] != negative))
    return std::nullopt;
  const double v = nmea::AtoF(f);
  if (!std::isfinite(v) || v < 0) return std::nullopt;
  const double degrees = std::floor(v / 100.0);
  const double minutes = v - degrees * 100.0;
  if (minutes >= 60.0) return std::nullopt;
  const double r = degrees + minutes / 60.0;
  if (r > limit) return std::nullopt;
  return hemisphere[0] == negative ? -r : r;
}

std::optional<Date> RmcDate(std::string_view f) {
  if (f.size() != 6) return std::nullopt;
  for (char c : f)
    if (!Digit(c)) return std::nullopt;
  const int day = (f[0] - '0') * 10 + (f[1] - '0');
  const int month = (f[2] - '0') * 10 + (f[3] - '0');
  const int yy = (f[4] - '0') * 10 + (f[5] - '0');
  if (day < 1 || day > 31 || month < 1 || month > 12) return std::nullopt;
  return Date{static_cast<std::int16_t>(yy >= 80 ? 1900 + yy : 2000 + yy), static_cast<std::int8_t>(month),
              static_cast<std::int8_t>(day)};
}

// GN before GP before a single other constellation.
int TalkerRank(Talker t) { return t == Talker::GN ? 2 : t == Talker::GP ? 1 : 0; }

// A GSV number field within [lo, hi], or absent.
bool Bounded(std::string_view f, std::int32_t lo, std::int32_t hi, std::int16_t& out) {
  if (f.empty()) return false;
  const std::int32_t v = nmea::AtoI(f);
  if (v < lo || v > hi) return false;
  out = static_cast<std::int16_t>(v);
  return true;
}

bool ByCnoThenKey(const SkySat& a, const SkySat& b, bool usedFirst) {
  if (usedFirst && a.used != b.used) return a.used;
  const int ca = a.HasCno() ? a.cno : -1;
  const int cb = b.HasCno() ? b.cno : -1;
  if (ca != cb) return ca > cb;
  return a.key < b.key;
}

}  // namespace

GnssModel::GnssModel() {
  for (std::string* s :
       {&pdopWork_, &hdopWork_, &vdopWork_, &pdopPublished_, &hdopPublished_, &vdopPublished_})
    s->reserve(32);
  OpenEpoch();
}

void GnssModel::Reset() {
  EpochListener* listener = listener_;
  *this = GnssModel();
  listener_ = listener;
}

unsigned GnssModel::Feed(std::string_view sentence) {
  const nmea::Fields fields(sentence);
  return Feed(sentence, fields);
}

unsigned GnssModel::Feed(std::string_view, const nmea::Fields& f) {
  const std::string_view head = f[1];
  SentenceType type = SentenceType::Other;
  Talker talker = Talker::GP;
  if (head == nmea::kHeadVersion) {
    type = SentenceType::Version;
  } else if (!ParseHead(head, talker, type)) {
    type = SentenceType::Other;
  }
  unsigned changed = kChangedNothing;
  if (type != SentenceType::Gsv && inGsvRun_) changed |= EndGsvRun();
  const bool gsaRunStart = type == SentenceType::Gsa && !inGsaRun_;
  inGsaRun_ = type == SentenceType::Gsa;
  inGsvRun_ = type == SentenceType::Gsv;
  changed |= Handle(type, talker, gsaRunStart, f);
  lastType_ = type;
  ++epoch_.sentences;
  epoch_.kinds |= 1u << static_cast<unsigned>(type);
  return changed;
}

unsigned GnssModel::Handle(SentenceType type, Talker talker, bool runStart, const nmea::Fields& f) {
  switch (type) {
    case SentenceType::Other:
      return kChangedNothing;
    case SentenceType::Version:
      return kVersionReply;
    case SentenceType::Gga:
      return OnTime(type, talker, f[2]) | OnGga(talker, f);
    case SentenceType::Rmc:
      return OnTime(type, talker, f[2]) | OnRmc(talker, f);
    case SentenceType::Gll:
      return OnTime(type, talker, f[6]) | OnGll(talker, f);
    case SentenceType::Zda:
      return OnTime(type, talker, f[2]) | OnZda(f);
    case SentenceType::Gns:
    case SentenceType::Gst:
    case SentenceType::Gbs:
    case SentenceType::Grs:
      return OnTime(type, talker, f[2]) | kChangedEpochData;
    case SentenceType::Vtg:
      return OnVtg(f);
    case SentenceType::Gsa:
      return OnGsa(talker, runStart, f);
    case SentenceType::Gsv:
      return OnGsv(talker, f);
  }
  return kChangedNothing;
}

unsigned GnssModel::Flush() {
  unsigned changed = kChangedNothing;
  if (inGsvRun_) changed |= EndGsvRun();
  inGsaRun_ = inGsvRun_ = false;
  changed |= CloseEpoch();
  OpenEpoch();
  return changed;
}

// ---------------------------------------------------------------- epochs

unsigned GnssModel::OnTime(SentenceType type, Talker talker, std::string_view timeField) {
  const std::optional<std::int32_t> t = ParseUtc(timeField);
  const std::size_t bit =
      static_cast<std::size_t>(TimedIndex(type)) * kTalkerCount + static_cast<std::size_t>(talker);
  bool close;
  if (t && epoch_.utcMs) {
    close = std::abs(*t - *epoch_.utcMs) > 10;
  } else {
    // No time to compare: the same kind from the same talker again means the
    // receiver has started its next cycle.
    close = timedSeen_[bit];
  }
  unsigned changed = kChangedEpochData;
  if (close) {
    changed |= CloseEpoch();
    OpenEpoch();
  }
  if (t && !epoch_.utcMs) epoch_.utcMs = t;
  timedSeen_.set(bit);
  return changed;
}

unsigned GnssModel::CloseEpoch() {
  unsigned changed = kChangedNothing;
  // Whatever the epoch gathered is final now.
  if (gsaSincePublish_) {
    PublishUsed();
    changed |= kChangedUsed;
  }
  if (changedSinceAnnounce_) changed |= Announce();
  if (epoch_.sentences == 0) return changed;
  epoch_.satellitesUsed = UsedCount();
  epoch_.satellitesInView = InViewCount();
  lastEpoch_ = epoch_;
  if (listener_) listener_->OnEpochClosed(lastEpoch_, *this);
  return changed | kEpochClosed;
}

void GnssModel::OpenEpoch() {
  epoch_ = EpochSummary{};
  epoch_.index = nextEpochIndex_++;
  timedSeen_.reset();
  ggaRank_ = rmcRank_ = -1;
}

// ---------------------------------------------------------------- GSA

unsigned GnssModel::OnGsa(Talker talker, bool runStart, const nmea::Fields& f) {
  const int dataFields = f.Size() - 1;
  int systemId = 0;
  int satLast = 15;  // satellites in fields 4..satLast
  int dopLast = 18;  // PDOP, HDOP, VDOP end here
  auto systemIdOf = [](std::string_view v) { return v.size() == 1 ? HexDigit(v[0]) : -1; };
  if (dataFields == 29 || (dataFields == 30 && systemIdOf(f[31]) >= 0)) {
    // 24 satellite fields (Navior-24), then the DOPs and maybe a system id.
    satLast = 27;
    dopLast = 30;
    if (dataFields == 30) systemId = systemIdOf(f[31]);
  } else if (dataFields >= 18) {
    const int id = systemIdOf(f[19]);
    if (id >= 0) systemId = id;
  }

  unsigned changed = kChangedNothing;
  const std::size_t source = static_cast<std::size_t>(talker) * 16 + static_cast<std::size_t>(systemId);
  if (runStart && (unionEpoch_ != epoch_.index || unionSources_[source])) {
    // A new union; one not published yet is published first.
    if (gsaSincePublish_) {
      PublishUsed();
      changed |= kChangedUsed;
    }
    previousUnionGsaCount_ = unionGsaCount_;
    unionGsaCount_ = 0;
    usedWorkCount_ = 0;
    usedWorkUnknown_ = 0;
    usedWorkDense_.reset();
    unionSources_.reset();
    unionEpoch_ = epoch_.index;
  }
  unionSources_.set(source);
  ++unionGsaCount_;
  for (int i = 4; i <= satLast; ++i) {
    const std::string_view v = f[i];
    if (v.empty()) continue;
    const std::int32_t n = nmea::AtoI(v);
    if (n > 0) AddUsed(InferSatellite(talker, systemId, n));
  }
  pdopWork_.assign(f[dopLast - 2]);
  hdopWork_.assign(f[dopLast - 1]);
  vdopWork_.assign(f[dopLast]);
  navModeWork_ = nmea::AtoI(f[3]);
  gsaSincePublish_ = true;

  epoch_.navMode = OptInt(f[3]);
  epoch_.pdop = OptDouble(pdopWork_);
  epoch_.hdop = OptDouble(hdopWork_);
  epoch_.vdop = OptDouble(vdopWork_);
  epoch_.usedFromThisEpoch = true;

  if (navModeWork_ == 2 || navModeWork_ == 3) changed |= kFixReported;
  if (unionGsaCount_ >= previousUnionGsaCount_) {
    PublishUsed();
    changed |= kChangedUsed;
  }
  return changed;
}

void GnssModel::AddUsed(SatKey key) {
  if (key.svid <= 0) return;
  const int d = Dense(key);
  if (d >= 0) {
    if (usedWorkDense_[static_cast<std::size_t>(d)]) return;
    usedWorkDense_.set(static_cast<std::size_t>(d));
  } else {
    for (std::size_t i = 0; i < usedWorkCount_; ++i)
      if (usedWork_[i] == key) return;
    if (usedWorkUnknown_ >= kMaxUnknown) return;
    ++usedWorkUnknown_;
  }
  if (usedWorkCount_ < usedWork_.size()) usedWork_[usedWorkCount_++] = key;
}

void GnssModel::PublishUsed() {
  std::copy_n(usedWork_.begin(), usedWorkCount_, usedPublished_.begin());
  usedPublishedCount_ = usedWorkCount_;
  std::sort(usedPublished_.begin(),
            usedPublished_.begin() + static_cast<std::ptrdiff_t>(usedPublishedCount_));
  usedPublishedDense_ = usedWorkDense_;
  pdopPublished_.assign(pdopWork_);
  hdopPublished_.assign(hdopWork_);
  vdopPublished_.assign(vdopWork_);
  navModePublished_ = navModeWork_;
  gsaSincePublish_ = false;
  RefreshUsedFlags();
}

void GnssModel::RefreshUsedFlags() {
  const auto used = UsedSatellites();
  for (std::size_t i = 0; i < skyCount_; ++i) {
    SkySat& s = sky_[i];
    const int d = Dense(s.key);
    s.used = d >= 0 ? usedPublishedDense_[static_cast<std::size_t>(d)]
                    : std::binary_search(used.begin(), used.end(), s.key);
  }
}

int GnssModel::UsedNotInView() const {
  const auto sky = SkyEntries();
  int n = 0;
  for (const SatKey& k : UsedSatellites()) {
    auto it = std::lower_bound(sky.begin(), sky.end(), k,
                               [](const SkySat& s, const SatKey& key) { return s.key < key; });
    if (it == sky.end() || it->key != k) ++n;
  }
  return n;
}

// ---------------------------------------------------------------- GSV

unsigned GnssModel::OnGsv(Talker talker, const nmea::Fields& f) {
  const std::int32_t total = nmea::AtoI(f[2]);
  const std::int32_t number = nmea::AtoI(f[3]);
  if (total < 1 || total > 99 || number < 1 || number > total) return kChangedNothing;

  // 3 + 4n fields, or 3 + 4n + 1 with a signal id (one hex digit).
  int quadFields = std::max(0, f.Size() - 1 - 3);
  int signalId = 0;
  if (quadFields % 4 == 1) {
    const std::string_view last = f[f.Size()];
    if (last.size() == 1 && HexDigit(last[0]) >= 0) {
      signalId = HexDigit(last[0]);
      --quadFields;
    }
  }
  const int quads = std::min(4, (quadFields + 3) / 4);

  unsigned changed = kChangedNothing;
  Sequence& q = sequences_[static_cast<std::size_t>(talker)];
  if (number == 1) {
    if (q.dirty) Promote(talker, false);  // its last message never came
    const std::size_t started = static_cast<std::size_t>(talker) * 16 + static_cast<std::size_t>(signalId);
    if (pictureEpoch_ != epoch_.index || pictureStarted_[started]) changed |= StartPicture();
    pictureStarted_.set(started);
    q.total = total;
    q.next = 2;
    q.open = true;
    q.count = 0;
    q.signals = 0;
  } else {
    if (!q.open || q.total != total || q.next != number) {
      q.open = false;  // a message is missing: the rest cannot be placed
      return changed;
    }
    ++q.next;
  }
  q.signals |= static_cast<std::uint16_t>(1u << signalId);
  q.dirty = true;
  epoch_.skyFromThisEpoch = true;

  for (int k = 0; k < quads; ++k) {
    const std::string_view prn = f[5 + 4 * k];
    if (prn.empty()) continue;  // padding
    const SatKey key = InferSatellite(talker, 0, nmea::AtoI(prn));
    if (key.svid <= 0) continue;
    if (q.count >= q.obs.size()) break;
    Observation& o = q.obs[q.count++];
    o = Observation{};
    o.key = key;
    o.signalId = static_cast<std::uint8_t>(signalId);
    if (Bounded(f[6 + 4 * k], -90, 90, o.elevation)) o.has |= Observation::kHasElevation;
    if (Bounded(f[7 + 4 * k], 0, 360, o.azimuth)) {
      o.has |= Observation::kHasAzimuth;
      if (o.azimuth == 360) o.azimuth = 0;
    }
    if (Bounded(f[8 + 4 * k], 0, 99, o.cno)) o.has |= Observation::kHasCno;
  }

  if (number == total) {
    q.open = false;
    Promote(talker, true);
    ++pictureSequences_;
    if (pictureSequences_ >= expectedSequences_) changed |= Announce();
  }
  return changed;
}

unsigned GnssModel::EndGsvRun() {
  bool partial = false;
  for (std::size_t t = 0; t < sequences_.size(); ++t) {
    if (sequences_[t].dirty) {
      Promote(static_cast<Talker>(t), false);
      partial = true;
    }
  }
  return partial && changedSinceAnnounce_ ? Announce() : kChangedNothing;
}

unsigned GnssModel::StartPicture() {
  unsigned changed = kChangedNothing;
  if (changedSinceAnnounce_) changed |= Announce();
  bool anyRefreshed = false;
  for (std::size_t g = 0; g < groupCount_; ++g) anyRefreshed |= groups_[g].refreshed;
  if (anyRefreshed) {
    std::size_t kept = 0;
    for (std::size_t g = 0; g < groupCount_; ++g) {
      if (!groups_[g].refreshed) continue;
      if (kept != g) groups_[kept] = groups_[g];
      ++kept;
    }
    if (kept != groupCount_) changedSinceAnnounce_ = true;
    groupCount_ = kept;
  }
  for (std::size_t g = 0; g < groupCount_; ++g) groups_[g].refreshed = false;
  expectedSequences_ = pictureSequences_;
  pictureSequences_ = 0;
  pictureStarted_.reset();
  pictureEpoch_ = epoch_.index;
  return changed;
}

void GnssModel::Promote(Talker talker, bool complete) {
  Sequence& q = sequences_[static_cast<std::size_t>(talker)];
  q.dirty = false;
  changedSinceAnnounce_ = true;
  for (int sig = 0; sig < 16; ++sig) {
    if (!(q.signals & (1u << sig))) continue;
    Group* g = nullptr;
    for (std::size_t i = 0; i < groupCount_; ++i) {
      if (groups_[i].talker == talker && groups_[i].signalId == sig) {
        g = &groups_[i];
        break;
      }
    }
    if (!g) {
      if (groupCount_ >= groups_.size()) continue;
      g = &groups_[groupCount_++];
      g->talker = talker;
      g->signalId = static_cast<std::uint8_t>(sig);
    }
    g->count = 0;
    for (std::size_t i = 0; i < q.count; ++i)
      if (q.obs[i].signalId == sig) g->obs[g->count++] = q.obs[i];
    g->refreshed = true;
    g->partial = !complete;
  }
}

unsigned GnssModel::Announce() {
  RebuildSky();
  changedSinceAnnounce_ = false;
  return kChangedSky;
}

void GnssModel::RebuildSky() {
  std::array<std::int16_t, kDenseKeys> slot;
  slot.fill(-1);
  int unknown = 0;
  skyCount_ = 0;
  for (std::size_t g = 0; g < groupCount_; ++g) {
    const Group& group = groups_[g];
    for (std::size_t i = 0; i < group.count; ++i) {
      const Observation& o = group.obs[i];
      SkySat* s = nullptr;
      const int d = Dense(o.key);
      if (d >= 0) {
        if (slot[static_cast<std::size_t>(d)] >= 0) s = &sky_[static_cast<std::size_t>(slot[d])];
      } else {
        for (std::size_t k = 0; k < skyCount_ && !s; ++k)
          if (sky_[k].key == o.key) s = &sky_[k];
      }
      if (!s) {
        if (skyCount_ >= sky_.size() || (d < 0 && unknown >= kMaxUnknown)) continue;
        if (d < 0) ++unknown;
        if (d >= 0) slot[static_cast<std::size_t>(d)] = static_cast<std::int16_t>(skyCount_);
        s = &sky_[skyCount_++];
        *s = SkySat{};
        s->key = o.key;
      }
      if (!s->HasElevation() && (o.has & Observation::kHasElevation)) {
        s->elevation = o.elevation;
        s->has |= Observation::kHasElevation;
      }
      if (!s->HasAzimuth() && (o.has & Observation::kHasAzimuth)) {
        s->azimuth = o.azimuth;
        s->has |= Observation::kHasAzimuth;
      }
      if (o.has & Observation::kHasCno) {
        s->signals |= static_cast<std::uint16_t>(1u << o.signalId);
        if (!s->HasCno() || o.cno > s->cno) {
          s->cno = o.cno;
          s->cnoSignal = o.signalId;
          s->has |= Observation::kHasCno;
        }
      }
    }
  }
  std::sort(sky_.begin(), sky_.begin() + static_cast<std::ptrdiff_t>(skyCount_),
            [](const SkySat& a, const SkySat& b) { return a.key < b.key; });
  for (std::size_t i = 0; i < skyCount_; ++i) sky_[i].label = MakeLabel(sky_[i].key);
  RefreshUsedFlags();
}

std::size_t GnssModel::ChartBars(std::span<ChartBar> out) const {
  std::array<std::uint16_t, kMaxSatellites> order;
  for (std::size_t i = 0; i < skyCount_; ++i) order[i] = static_cast<std::uint16_t>(i);
  const auto begin = order.begin();
  const auto end = order.begin() + static_cast<std::ptrdiff_t>(skyCount_);
  std::sort(begin, end,
            [&](std::uint16_t a, std::uint16_t b) { return ByCnoThenKey(sky_[a], sky_[b], true); });
  const std::size_t n = std::min(out.size(), skyCount_);
  // Chosen by strength; shown used first, each class in key order.
  std::sort(begin, begin + static_cast<std::ptrdiff_t>(n), [&](std::uint16_t a, std::uint16_t b) {
    if (sky_[a].used != sky_[b].used) return sky_[a].used;
    return sky_[a].key < sky_[b].key;
  });
  for (std::size_t i = 0; i < n; ++i) {
    const SkySat& s = sky_[order[i]];
    out[i] = ChartBar{s.key, s.label, s.cno, s.HasCno(), s.used};
  }
  return n;
}

SignalGroupView GnssModel::SignalGroup(std::size_t i) const {
  if (i >= groupCount_) return {};
  const Group& g = groups_[i];
  return {g.talker, g.signalId, g.partial, {g.obs.data(), g.count}};
}

// ---------------------------------------------------------------- fixes

unsigned GnssModel::OnGga(Talker talker, const nmea::Fields& f) {
  const int rank = TalkerRank(talker);
  if (rank < ggaRank_) return kIgnoredTalker;
  ggaRank_ = rank;
  latitudeUnits_ = nmea::CoordinateUnits(f[3], f[4], "S");
  longitudeUnits_ = nmea::CoordinateUnits(f[5], f[6], "W");
  epoch_.ggaQuality = OptInt(f[7]);
  epoch_.ggaSatellites = OptInt(f[8]);
  epoch_.ggaHdop = OptDouble(f[9]);
  epoch_.altitudeM = OptDouble(f[10]);
  epoch_.geoidSeparationM = OptDouble(f[12]);
  const auto lat = Degrees(f[3], f[4], 'N', 'S', 90.0);
  const auto lon = Degrees(f[5], f[6], 'E', 'W', 180.0);
  if (lat && lon) {
    epoch_.latitudeDeg = lat;
    epoch_.longitudeDeg = lon;
    epoch_.positionSource = PositionSource::Gga;
    epoch_.positionTalker = talker;
  } else if (epoch_.positionSource == PositionSource::Gga) {
    // This GGA replaces the one that gave the position.
    epoch_.latitudeDeg.reset();
    epoch_.longitudeDeg.reset();
    epoch_.positionSource = PositionSource::None;
  }
  return kChangedPosition;
}

unsigned GnssModel::OnRmc(Talker talker, const nmea::Fields& f) {
  const int rank = TalkerRank(talker);
  if (rank < rmcRank_) return kIgnoredTalker;
  rmcRank_ = rank;
  epoch_.rmcStatus = FirstChar(f[3]);
  epoch_.speedKnots = OptDouble(f[8]);
  epoch_.courseDeg = OptDouble(f[9]);
  if (!(epoch_.kinds & (1u << static_cast<unsigned>(SentenceType::Zda))) || !epoch_.date) {
    if (auto d = RmcDate(f[10])) epoch_.date = d;
  }
  epoch_.rmcMode = FirstChar(f[13]);
  epoch_.rmcNavStatus = FirstChar(f[14]);
  if (epoch_.positionSource != PositionSource::Gga) {
    const auto lat = Degrees(f[4], f[5], 'N', 'S', 90.0);
    const auto lon = Degrees(f[6], f[7], 'E', 'W', 180.0);
    if (lat && lon) {
      epoch_.latitudeDeg = lat;
      epoch_.longitudeDeg = lon;
      epoch_.positionSource = PositionSource::Rmc;
      epoch_.positionTalker = talker;
    }
  }
  return kChangedMotion;
}

unsigned GnssModel::OnGll(Talker talker, const nmea::Fields& f) {
  epoch_.gllStatus = FirstChar(f[7]);
  epoch_.gllMode = FirstChar(f[8]);
  if (epoch_.positionSource == PositionSource::None || epoch_.positionSource == PositionSource::Gll) {
    const auto lat = Degrees(f[2], f[3], 'N', 'S', 90.0);
    const auto lon = Degrees(f[4], f[5], 'E', 'W', 180.0);
    if (lat && lon) {
      epoch_.latitudeDeg = lat;
      epoch_.longitudeDeg = lon;
      epoch_.positionSource = PositionSource::Gll;
      epoch_.positionTalker = talker;
    }
  }
  return kChangedEpochData;
}

unsigned GnssModel::OnVtg(const nmea::Fields& f) {
  epoch_.vtgMode = FirstChar(f[10]);
  if (!(epoch_.kinds & (1u << static_cast<unsigned>(SentenceType::Rmc)))) {
    epoch_.courseDeg = OptDouble(f[2]);
    epoch_.speedKnots = OptDouble(f[6]);
  }
  return kChangedEpochData;
}

unsigned GnssModel::OnZda(const nmea::Fields& f) {
  const auto day = OptInt(f[3]);
  const auto month = OptInt(f[4]);
  const auto year = OptInt(f[5]);
  if (day && month && year && *day >= 1 && *day <= 31 && *month >= 1 && *month <= 12 && *year >= 1980 &&
      *year <= 9999) {
    epoch_.date = Date{static_cast<std::int16_t>(*year), static_cast<std::int8_t>(*month),
                       static_cast<std::int8_t>(*day)};
  }
  return kChangedEpochData;
}

}  // namespace gnss
