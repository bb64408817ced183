#include "sim/receiver_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct KindInfo {
  RestartKind kind;
  std::string_view name;
  double noFixSeconds;
  double twoDSeconds;
};

constexpr KindInfo kKinds[] = {
    {RestartKind::Hot, "hot", 2.0, 1.0},
    {RestartKind::Warm, "warm", 30.0, 3.0},
    {RestartKind::Cold, "cold", 45.0, 4.0},
    {RestartKind::Factory, "factory", 100.0, 6.0},
};

const KindInfo& InfoOf(RestartKind kind) {
  for (const KindInfo& k : kKinds) {
    if (k.kind == kind) return k;
  }
  return kKinds[0];
}

constexpr std::string_view kMessageNames[kMessageCount] = {"GGA", "GLL", "GSA", "GSV", "RMC", "VTG", "ZDA"};

// A walker goes round a circle in this time, so the course turns steadily.
constexpr double kWalkLapSeconds = 1200.0;
constexpr int kMaxUsed = 12;  // what one $GPGSA can list

Millis ScaledMillis(double seconds, double scale) {
  const double ms = seconds * 1000.0 * (scale > 0 ? scale : 0.0);
  return static_cast<Millis>(std::llround(std::fmin(ms, 1e12)));
}

}  // namespace

std::string_view RestartName(RestartKind kind) { return InfoOf(kind).name; }

std::optional<RestartKind> RestartByName(std::string_view name) {
  for (const KindInfo& k : kKinds) {
    if (k.name == name) return k.kind;
  }
  return std::nullopt;
}

FixTiming TimingOf(RestartKind kind, double scale) {
  const KindInfo& info = InfoOf(kind);
  return {ScaledMillis(info.noFixSeconds, scale), ScaledMillis(info.twoDSeconds, scale)};
}

std::string_view MessageName(Message m) { return kMessageNames[static_cast<std::size_t>(m)]; }

std::optional<Message> MessageByName(std::string_view name) {
  for (int i = 0; i < kMessageCount; ++i) {
    if (kMessageNames[i] == name) return static_cast<Message>(i);
  }
  return std::nullopt;
}

ReceiverModel::ReceiverModel(const ModelOptions& options, Millis now) : options_(options), start_(now) {
  Restart(options.powerOn, now);
}

void ReceiverModel::Restart(RestartKind kind, Millis now) {
  restartKind_ = kind;
  restartAt_ = now;
  const FixTiming timing = TimingOf(kind, options_.ttffScale);
  const auto sky = SkyAt(PositionAt(now), now);

  // Slots above the horizon, highest first.
  std::vector<int> order;
  for (int slot = 0; slot < kConstellationSize; ++slot) {
    if (sky[static_cast<std::size_t>(slot)].elevation > 0) order.push_back(slot);
  }
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    const SatDirection& da = sky[static_cast<std::size_t>(a)];
    const SatDirection& db = sky[static_cast<std::size_t>(b)];
    return da.elevation != db.elevation ? da.elevation > db.elevation : da.prn < db.prn;
  });

  const Millis step = timing.twoD / 2;
  const Millis allUp =
      timing.noFix + timing.twoD + static_cast<Millis>(std::max<std::size_t>(order.size(), 4) - 3) * step;
  acquireAfter_.fill(allUp);  // risen after the restart: acquired once up
  for (std::size_t rank = 0; rank < order.size(); ++rank) {
    Millis after;
    if (rank < 3) {
      after = timing.noFix * static_cast<Millis>(4 + 3 * rank) / 10;  // the third at the end of no-fix
    } else {
      after = timing.noFix + timing.twoD + static_cast<Millis>(rank - 3) * step;
    }
    acquireAfter_[static_cast<std::size_t>(order[rank])] = after;
  }
}

Geodetic ReceiverModel::PositionAt(Millis t) const {
  const double s = static_cast<double>(t - start_) / 1000.0;
  // A receiver's solution wanders by a metre or two even when it stands still.
  double east = 1.2 * std::sin(kTwoPi * s / 97.0);
  double north = 1.2 * std::sin(kTwoPi * s / 131.0 + 1.0);
  const double up = 2.0 * std::sin(kTwoPi * s / 173.0 + 2.0);
  if (options_.walkSpeed > 0) {
    // Clockwise round a circle that starts at the origin heading north.
    const double radius = options_.walkSpeed * kWalkLapSeconds / kTwoPi;
    const double angle = kTwoPi * std::fmod(s / kWalkLapSeconds, 1.0);
    east += radius * (1.0 - std::cos(angle));
    north += radius * std::sin(angle);
  }
  return Offset(options_.origin, east, north, up);
}

Observation ReceiverModel::Observe(Millis t) const {
  Observation o;
  o.utc = t;
  o.position = PositionAt(t);
  if (options_.walkSpeed > 0) {
    const double s = static_cast<double>(t - start_) / 1000.0;
    o.speed = options_.walkSpeed;
    o.course = 360.0 * std::fmod(s / kWalkLapSeconds, 1.0);
    if (o.course < 0) o.course += 360.0;
  }

  const auto sky = SkyAt(o.position, t);
  const Millis since = t - restartAt_;
  std::vector<SatDirection> candidates;
  for (int slot = 0; slot < kConstellationSize; ++slot) {
    const SatDirection& d = sky[static_cast<std::size_t>(slot)];
    if (d.elevation <= 0) continue;
    const bool tracked = since >= acquireAfter_[static_cast<std::size_t>(slot)];
    if (!tracked && restartKind_ == RestartKind::Factory) continue;  // no almanac: unknown until found
    SatObservation s;
    s.prn = d.prn;
    s.elevation = static_cast<int>(std::lround(d.elevation));
    s.azimuth = static_cast<int>(std::lround(d.azimuth)) % 360;
    s.snr = tracked ? SnrOf(d.prn, d.elevation, t) : 0;
    o.inView.push_back(s);
    if (tracked && d.elevation >= kElevationMask) candidates.push_back(d);
  }
  std::sort(o.inView.begin(), o.inView.end(), [](const auto& a, const auto& b) { return a.prn < b.prn; });

  // The highest satellites fill the channels.
  std::sort(candidates.begin(), candidates.end(),
            [](const auto& a, const auto& b) { return a.elevation > b.elevation; });
  const std::size_t limit = static_cast<std::size_t>(std::clamp(channels_, 0, kMaxUsed));
  if (candidates.size() > limit) candidates.resize(limit);
  for (const SatDirection& d : candidates) o.usedPrns.push_back(d.prn);
  std::sort(o.usedPrns.begin(), o.usedPrns.end());
  for (SatObservation& s : o.inView) {
    s.used = std::binary_search(o.usedPrns.begin(), o.usedPrns.end(), s.prn);
  }

  if (candidates.size() >= 4) {
    o.fix = FixState::ThreeD;
  } else if (candidates.size() == 3) {
    o.fix = FixState::TwoD;
  }
  if (o.fix != FixState::None) {
    o.dops = DopsOf(candidates, o.fix == FixState::TwoD);
    if (!o.dops.valid) o.fix = FixState::None;  // no solution from this geometry
  }
  return o;
}

}  // namespace sim
