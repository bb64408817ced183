#include "sim/clock.h"

#include <chrono>

namespace sim {

Millis SystemClock::Now() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace sim
