#pragma once
// The simulated receiver: where it is, which satellites it sees and tracks,
// and which fix it has, all as functions of the time it is asked about.
//
// A restart forgets what the receiver knew. Satellites are then acquired one
// by one, the highest first: the third at the end of the kind's no-fix time
// (a 2D fix), the fourth after a further 2D time (a 3D fix), the rest in
// steps after that. A satellite rising later is acquired once it is up. The
// fix follows from the satellites in use (tracked, at least 5 degrees up, no
// more than the channels allow and 12): four or more give 3D, three 2D.
//
// Typical times, before --ttff-scale:
//   kind      no fix   then 2D for
//   hot        2 s      1 s
//   warm      30 s      3 s
//   cold      45 s      4 s
//   factory  100 s      6 s
// After a factory restart the receiver has no almanac and lists a satellite
// in view only once it tracks it; otherwise it lists every satellite above
// the horizon, without a signal until it is acquired.

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "sim/clock.h"
#include "sim/constellation.h"

namespace sim {

enum class RestartKind { Hot, Warm, Cold, Factory };
std::string_view RestartName(RestartKind kind);  // "hot", "warm", "cold", "factory"
std::optional<RestartKind> RestartByName(std::string_view name);

enum class FixState { None = 1, TwoD = 2, ThreeD = 3 };  // the $GPGSA mode numbers

struct FixTiming {
  Millis noFix = 0;  // from the restart to the 2D fix
  Millis twoD = 0;   // from the 2D fix to the 3D fix
};
// The kind's typical times multiplied by `scale` (0 or more).
FixTiming TimingOf(RestartKind kind, double scale);

// The standard sentences the receiver can output.
enum class Message { Gga, Gll, Gsa, Gsv, Rmc, Vtg, Zda };
inline constexpr int kMessageCount = 7;
std::string_view MessageName(Message m);  // "GGA" ...
std::optional<Message> MessageByName(std::string_view name);

inline constexpr int kMinMessageRate = 1;
inline constexpr int kMaxMessageRate = 10;

// What is output each epoch. A message is output in the epochs whose index
// is a multiple of its rate (rate 1: every epoch, 5: every fifth).
struct OutputConfig {
  std::vector<Message> order{Message::Gga, Message::Gsa, Message::Gsv, Message::Rmc};
  std::array<int, kMessageCount> rates{1, 1, 1, 1, 1, 1, 1};  // by Message

  int RateOf(Message m) const { return rates[static_cast<std::size_t>(m)]; }
  friend bool operator==(const OutputConfig&, const OutputConfig&) = default;
};

struct ModelOptions {
  Geodetic origin{47.3769, 8.5417, 408.0};
  double walkSpeed = 0;  // metres per second; 0 stays put
  double ttffScale = 1.0;
  RestartKind powerOn = RestartKind::Hot;
};

inline constexpr int kDefaultChannels = 12;
inline constexpr double kElevationMask = 5.0;  // degrees

struct SatObservation {
  int prn = 0;
  int elevation = 0;  // whole degrees
  int azimuth = 0;    // whole degrees, 0 to 359
  int snr = 0;        // dB-Hz; 0 when not tracked
  bool used = false;
};

// Everything the output sentences report for one instant.
struct Observation {
  Millis utc = 0;
  FixState fix = FixState::None;
  Geodetic position;
  double speed = 0;                    // metres per second over ground
  double course = 0;                   // degrees from true north
  std::vector<SatObservation> inView;  // ascending PRN
  std::vector<int> usedPrns;           // ascending PRN
  Dops dops;
};

class ReceiverModel {
 public:
  // Powers on at `now` with the restart kind of the options.
  ReceiverModel(const ModelOptions& options, Millis now);

  void Restart(RestartKind kind, Millis now);
  // The channel count of the position-initialisation sentences (8 to 16).
  void SetChannels(int channels) { channels_ = channels; }
  int Channels() const { return channels_; }

  RestartKind LastRestart() const { return restartKind_; }
  Millis RestartTime() const { return restartAt_; }

  // The true position and motion at `t` (reported only with a fix).
  Geodetic PositionAt(Millis t) const;
  Observation Observe(Millis t) const;

 private:
  ModelOptions options_;
  Millis start_;
  Millis restartAt_ = 0;
  RestartKind restartKind_ = RestartKind::Hot;
  int channels_ = kDefaultChannels;
  // Per constellation slot: time after the restart when it is acquired.
  std::array<Millis, kConstellationSize> acquireAfter_{};
};

}  // namespace sim
