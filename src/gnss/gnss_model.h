#pragma once
// The every-constellation receiver model: one Feed per received sentence,
// of any GNSS talker (GP GL GA GB BD GQ GI GN QZ PQ), and what the receiver
// reported kept by satellite key (constellation, svid).
//
// Rules, in the order a sentence meets them:
//
// Runs. A GSA run is a stretch of consecutive GSA sentences, a GSV run one
// of consecutive GSV sentences; any other sentence (whatever its head) ends
// the run before it is itself handled.
//
// Used satellites (GSA). The used set of an epoch is the union of its GSA
// sentences, de-duplicated by key. A GSA's satellites are placed by its
// system id (NMEA 4.10+, last field, a single digit 1-6) when it has one,
// else by its talker, else by their numbers (InferSatellite). A GSA with 24
// satellite fields (Navior-24) has its DOPs after them; any other GSA has
// its satellites in fields 3-14 and PDOP, HDOP, VDOP in 15-17 after the head,
// as the GPS-only interpreter reads them. The first GSA
// of a run starts a new union when the epoch changed since the union began
// or when its (talker, system id) already contributed to the union;
// otherwise it adds to it (receivers that put GSV between GPGSA and GLGSA).
// The union, the DOP fields and the navigation mode of the union's last GSA
// are published at the GSA that brings the union to as many GSA sentences as
// the previous union had (so the window never shows half a union once the
// receiver's pattern is known), and otherwise when the epoch closes or the
// next union begins.
//
// Satellites in view (GSV). Each talker's messages 1..N form a sequence;
// each message's quads are kept under its signal id (NMEA 4.10+, one hex
// digit after the last quad; 0 when absent), so a receiver that restarts the
// message numbers per signal id and one that numbers all its signals in one
// sequence both work. A sequence replaces the satellites of every
// (talker, signal id) group it carried when it completes (message N), and
// what it gathered so far when the run ends unfinished, or when the talker
// starts over with message 1 (a lost last message). A message that does not
// follow its predecessor is dropped. Several signals of one satellite are one
// satellite with the strongest C/N0.
// A picture is the set of sequences of one epoch: the next picture begins at
// a message 1 in a new epoch, or at a message 1 of a (talker, signal id) the
// picture already has. Groups the finished picture did not refresh are
// dropped then. The picture is announced (kChangedSky: redraw the views)
// once it has completed as many sequences as the previous picture, again
// for every later sequence of the same picture, when a run ends with an
// unfinished sequence, and when the epoch closes with changes not yet
// announced.
//
// Epochs. GGA, RMC, GLL, GNS, ZDA, GST, GBS and GRS carry a UTC time; one
// whose time differs from the open epoch's by more than 10 ms closes that
// epoch and opens the next. For receivers that send empty times before their
// first fix, a timed sentence that cannot be compared by time (its own time
// or the epoch's is missing) closes the epoch when the epoch has already
// seen its kind from its talker. GSA and GSV belong to the epoch that is
// open when they arrive.
//
// Talkers within an epoch. GGA and RMC are taken from GN before GP before a
// single other constellation's talker: a GNGGA replaces a GPGGA of the same
// epoch, a GPGGA or GLGGA after a GNGGA of the same epoch is ignored
// (kIgnoredTalker). Between equal talkers the later one wins.
//
// Bounds: at most kMaxGroups (talker, signal id) groups, kMaxQuadsPerSequence
// quads per sequence, and per constellation no more than its svid range
// (kMaxUnknown satellites whose constellation is unknown). Elevations outside
// -90..90, azimuths outside 0..360 (360 reads as 0) and C/N0 outside 0..99
// read as absent. The Feed path allocates no memory (a DOP field longer than
// 32 characters grows its buffer once).

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "gnss/constellation.h"
#include "nmea/sentence.h"

namespace gnss {

enum class SentenceType : std::uint8_t {
  Other,
  Version,
  Gga,
  Rmc,
  Gsa,
  Gsv,
  Gll,
  Vtg,
  Zda,
  Gns,
  Gst,
  Gbs,
  Grs
};

// What one Feed changed.
enum Change : unsigned {
  kChangedNothing = 0,
  kChangedPosition = 1u << 0,   // a GGA was taken: position, altitude, its UTC
  kChangedMotion = 1u << 1,     // an RMC was taken: speed, course, status
  kChangedUsed = 1u << 2,       // used set, DOP fields and navigation mode published
  kChangedSky = 1u << 3,        // a satellite picture announced: redraw the views
  kFixReported = 1u << 4,       // this GSA reports a 2D or 3D fix
  kVersionReply = 1u << 5,      // the receiver's version reply
  kEpochClosed = 1u << 6,       // the previous epoch closed: see LastEpoch()
  kChangedEpochData = 1u << 7,  // GLL, VTG, ZDA or time-only data of the open epoch
  kIgnoredTalker = 1u << 8,     // a GGA or RMC left aside for a better talker of the same epoch
};

// One satellite as one GSV group reported it.
struct Observation {
  enum : std::uint8_t { kHasElevation = 1, kHasAzimuth = 2, kHasCno = 4 };
  SatKey key;
  std::int16_t elevation = 0;  // degrees, valid with kHasElevation
  std::int16_t azimuth = 0;    // degrees from true north, valid with kHasAzimuth
  std::int16_t cno = 0;        // dB-Hz, valid with kHasCno (empty = not tracked)
  std::uint8_t signalId = 0;   // 0 = all signals or not given
  std::uint8_t has = 0;
};

// One (talker, signal id) group as last replaced.
struct SignalGroupView {
  Talker talker = Talker::GP;
  std::uint8_t signalId = 0;
  bool partial = false;  // from a sequence that did not complete
  std::span<const Observation> observations;
};

// One satellite of the announced picture.
struct SkySat {
  SatKey key;
  SatLabel label;
  std::int16_t elevation = 0;  // from the first group that gave one
  std::int16_t azimuth = 0;
  std::int16_t cno = 0;        // strongest over its signals
  std::uint8_t has = 0;        // Observation::kHas* bits
  bool used = false;           // in the published used set
  std::uint8_t cnoSignal = 0;  // signal id of the strongest C/N0
  std::uint16_t signals = 0;   // bit s: signal id s reported with a C/N0
  bool HasElevation() const { return has & Observation::kHasElevation; }
  bool HasAzimuth() const { return has & Observation::kHasAzimuth; }
  bool HasCno() const { return has & Observation::kHasCno; }
};

// One bar of the signal chart.
struct ChartBar {
  SatKey key;
  SatLabel label;
  std::int16_t cno = 0;  // valid when hasCno
  bool hasCno = false;
  bool used = false;
};

struct Date {
  std::int16_t year = 0;  // four digits (RMC's two-digit year: 80-99 -> 19xx, else 20xx)
  std::int8_t month = 0;
  std::int8_t day = 0;
  friend bool operator==(const Date&, const Date&) = default;
};

enum class PositionSource : std::uint8_t { None, Gga, Rmc, Gll };

// What one epoch reported; the open epoch fills it, LastEpoch() keeps the
// closed one.
struct EpochSummary {
  std::uint64_t index = 0;            // 1 for the first epoch
  std::optional<std::int32_t> utcMs;  // UTC time of day in milliseconds
  std::optional<Date> date;           // ZDA, else RMC
  std::optional<int> ggaQuality;      // GGA fix quality 0-8
  std::optional<int> navMode;         // the epoch's last GSA: 1 none, 2 2D, 3 3D
  char rmcStatus = 0;                 // 'A' or 'V'; 0 without RMC
  char rmcMode = 0;                   // RMC mode indicator (A D E F M N P R S ...)
  char rmcNavStatus = 0;              // RMC navigational status (NMEA 4.10+)
  char gllStatus = 0;
  char gllMode = 0;
  char vtgMode = 0;
  PositionSource positionSource = PositionSource::None;
  Talker positionTalker = Talker::GP;
  std::optional<double> latitudeDeg;       // south negative
  std::optional<double> longitudeDeg;      // west negative
  std::optional<double> altitudeM;         // above mean sea level (GGA)
  std::optional<double> geoidSeparationM;  // GGA; ellipsoidal height = altitude + separation
  std::optional<double> pdop, hdop, vdop;  // the epoch's last GSA
  std::optional<double> ggaHdop;
  std::optional<int> ggaSatellites;  // GGA satellites-used field
  std::optional<double> speedKnots;  // RMC, else VTG
  std::optional<double> courseDeg;   // RMC, else VTG
  int satellitesUsed = 0;            // published used set when the epoch closed
  int satellitesInView = 0;          // announced picture when the epoch closed
  bool usedFromThisEpoch = false;    // a GSA arrived in this epoch
  bool skyFromThisEpoch = false;     // a GSV arrived in this epoch
  std::uint32_t sentences = 0;       // sentences fed while the epoch was open
  std::uint32_t kinds = 0;           // bit (1 << SentenceType) for each kind seen
};

class GnssModel;

// Told of every epoch that closes, with the model as it stands at that moment
// (its sky and used set are the closed epoch's).
class EpochListener {
 public:
  virtual ~EpochListener() = default;
  virtual void OnEpochClosed(const EpochSummary& epoch, const GnssModel& model) = 0;
};

class GnssModel {
 public:
  static constexpr int kMaxGroups = 32;
  static constexpr int kMaxQuadsPerSequence = 40;
  static constexpr int kMaxUnknown = 32;
  // Satellites with a known constellation: the sum of the svid ranges.
  static constexpr int kDenseKeys = 32 + 39 + 35 + 36 + 64 + 10 + 15;
  static constexpr int kMaxSatellites = kDenseKeys + kMaxUnknown;

  GnssModel();

  // Takes one sentence (from "$" up to, not including, the CR) and returns
  // the Change bits it caused. The second form reuses fields already split.
  unsigned Feed(std::string_view sentence);
  unsigned Feed(std::string_view sentence, const nmea::Fields& fields);

  // Ends the open runs and the open epoch, as at the end of a recording.
  unsigned Flush();
  // Forgets everything (the listener stays).
  void Reset();

  void SetEpochListener(EpochListener* listener) { listener_ = listener; }

  // The last sentence fed.
  SentenceType LastType() const { return lastType_; }

  // Published used set, sorted by key, and what came with it.
  std::span<const SatKey> UsedSatellites() const { return {usedPublished_.data(), usedPublishedCount_}; }
  int UsedCount() const { return static_cast<int>(usedPublishedCount_); }
  std::int32_t NavMode() const { return navModePublished_; }    // the GSA mode 1, 2, 3 as a number
  std::string_view PdopText() const { return pdopPublished_; }  // the fields as received
  std::string_view HdopText() const { return hdopPublished_; }
  std::string_view VdopText() const { return vdopPublished_; }
  // Used satellites that the announced picture does not list.
  int UsedNotInView() const;

  // The announced picture, sorted by key.
  std::span<const SkySat> SkyEntries() const { return {sky_.data(), skyCount_}; }
  int InViewCount() const { return static_cast<int>(skyCount_); }
  // Fills `out` with at most out.size() bars: the used satellites first, then
  // the others; within each class the strongest C/N0 are chosen and shown in
  // key order. Returns how many were filled.
  std::size_t ChartBars(std::span<ChartBar> out) const;

  // The (talker, signal id) groups as last replaced (may be ahead of the
  // announced picture while a picture is being received).
  std::size_t SignalGroupCount() const { return groupCount_; }
  SignalGroupView SignalGroup(std::size_t i) const;

  // The last GGA taken, in 1/10000 arc-minute as the position texts show it.
  std::int32_t LatitudeUnits() const { return latitudeUnits_; }
  std::int32_t LongitudeUnits() const { return longitudeUnits_; }

  const EpochSummary& CurrentEpoch() const { return epoch_; }
  const EpochSummary& LastEpoch() const { return lastEpoch_; }  // index 0 before the first close

 private:
  struct Group {
    Talker talker = Talker::GP;
    std::uint8_t signalId = 0;
    std::uint8_t count = 0;
    bool refreshed = false;  // replaced during the current picture
    bool partial = false;
    std::array<Observation, kMaxQuadsPerSequence> obs{};
  };
  struct Sequence {
    std::int32_t total = 0;     // N of the sequence
    std::int32_t next = 0;      // message expected next
    bool open = false;          // accepting messages
    bool dirty = false;         // holds quads not yet given to its groups
    std::uint16_t signals = 0;  // signal ids its messages carried
    std::uint8_t count = 0;
    std::array<Observation, kMaxQuadsPerSequence> obs{};
  };

  unsigned Handle(SentenceType type, Talker talker, bool runStart, const nmea::Fields& f);
  unsigned EndGsvRun();
  unsigned OnTime(SentenceType type, Talker talker, std::string_view timeField);
  unsigned CloseEpoch();
  void OpenEpoch();

  unsigned OnGsa(Talker talker, bool runStart, const nmea::Fields& f);
  void AddUsed(SatKey key);
  void PublishUsed();
  unsigned OnGsv(Talker talker, const nmea::Fields& f);
  unsigned StartPicture();
  void Promote(Talker talker, bool complete);
  unsigned Announce();
  void RebuildSky();
  void RefreshUsedFlags();

  unsigned OnGga(Talker talker, const nmea::Fields& f);
  unsigned OnRmc(Talker talker, const nmea::Fields& f);
  unsigned OnGll(Talker talker, const nmea::Fields& f);
  unsigned OnVtg(const nmea::Fields& f);
  unsigned OnZda(const nmea::Fields& f);

  EpochListener* listener_ = nullptr;
  SentenceType lastType_ = SentenceType::Other;
  bool inGsaRun_ = false;
  bool inGsvRun_ = false;

  // Epochs.
  EpochSummary epoch_;
  EpochSummary lastEpoch_;
  std::uint64_t nextEpochIndex_ = 1;
  std::bitset<128> timedSeen_;  // (timed kind, talker) pairs of the open epoch
  int ggaRank_ = -1;            // talker rank of the GGA taken in the open epoch
  int rmcRank_ = -1;

  // Used set being gathered and published.
  std::array<SatKey, kMaxSatellites> usedWork_{};
  std::size_t usedWorkCount_ = 0;
  int usedWorkUnknown_ = 0;
  std::bitset<kDenseKeys> usedWorkDense_;
  std::uint64_t unionEpoch_ = 0;
  std::bitset<kTalkerCount * 16> unionSources_;  // (talker, system id)
  int unionGsaCount_ = 0;
  int previousUnionGsaCount_ = 0;
  bool gsaSincePublish_ = false;
  std::string pdopWork_, hdopWork_, vdopWork_;
  std::int32_t navModeWork_ = 0;
  std::array<SatKey, kMaxSatellites> usedPublished_{};
  std::size_t usedPublishedCount_ = 0;
  std::bitset<kDenseKeys> usedPublishedDense_;
  std::string pdopPublished_, hdopPublished_, vdopPublished_;
  std::int32_t navModePublished_ = 0;

  // Satellites in view.
  std::array<Sequence, kTalkerCount> sequences_{};
  std::array<Group, kMaxGroups> groups_{};
  std::size_t groupCount_ = 0;
  std::uint64_t pictureEpoch_ = 0;
  std::bitset<kTalkerCount * 16> pictureStarted_;  // (talker, signal id) with a message 1
  int pictureSequences_ = 0;                       // sequences completed in the current picture
  int expectedSequences_ = 0;                      // ... in the previous one
  bool changedSinceAnnounce_ = false;
  std::array<SkySat, kMaxSatellites> sky_{};
  std::size_t skyCount_ = 0;

  std::int32_t latitudeUnits_ = 0;
  std::int32_t longitudeUnits_ = 0;
};

}  // namespace gnss
