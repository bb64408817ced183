#pragma once
// A recorded NMEA file played at its own pace. The lines are cut into
// epochs by the time of day they carry ($GPGGA, $GPRMC and $GPZDA field 2,
// $GPGLL field 6): a line with a time other than the current epoch's starts
// a new epoch, and untimed lines ($GPGSA, $GPGSV, ...) go with the epoch
// before them. The pause after an epoch is the time to the next one; when
// that is unknown, zero, backwards or over a minute it is one second. A
// file without times starts an epoch at each $GPGGA, or, without those, at
// every line. After the last epoch the file starts again.

#include <string>
#include <string_view>
#include <vector>

#include "sim/clock.h"

namespace sim {

class ReplaySource {
 public:
  struct Epoch {
    std::string text;  // the lines, each ending in CR LF
    Millis pauseAfter = 1000;
  };

  // `fileText` is the whole file; line ends may be CR LF, CR or LF. Empty
  // lines are dropped.
  explicit ReplaySource(std::string_view fileText);

  bool Empty() const { return epochs_.empty(); }
  const std::vector<Epoch>& Epochs() const { return epochs_; }
  // The next epoch, going round.
  const Epoch& Next();

 private:
  std::vector<Epoch> epochs_;
  std::size_t next_ = 0;
};

// Milliseconds of the day in a "hhmmss" or "hhmmss.sss" field, or -1.
Millis TimeOfDay(std::string_view field);

}  // namespace sim
