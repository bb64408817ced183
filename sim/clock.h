#pragma once
// The simulator's only source of time. Everything in the model is a function
// of the time it is given, so tests drive it with a clock of their own.

#include <cstdint>

namespace sim {

// Milliseconds of UTC since 1970-01-01 00:00:00.
using Millis = std::int64_t;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Millis Now() const = 0;
};

// The system's real-time clock.
class SystemClock final : public Clock {
 public:
  Millis Now() const override;
};

// A clock that moves only when told to.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(Millis start) : now_(start) {}
  Millis Now() const override { return now_; }
  void Set(Millis now) { now_ = now; }
  void Advance(Millis by) { now_ += by; }

 private:
  Millis now_;
};

}  // namespace sim
