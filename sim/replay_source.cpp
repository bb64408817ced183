#include "sim/replay_source.h"

#include "nmea/sentence.h"

namespace sim {
namespace {

constexpr Millis kDay = 86400000;
constexpr Millis kDefaultPause = 1000;
constexpr Millis kLongestPause = 60000;

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The time a line carries, or -1.
Millis LineTime(std::string_view line) {
  const std::string_view head = nmea::FieldView(line, 1);
  if (head == "$GPGGA" || head == "$GPRMC" || head == "$GPZDA") return TimeOfDay(nmea::FieldView(line, 2));
  if (head == "$GPGLL") return TimeOfDay(nmea::FieldView(line, 6));
  return -1;
}

}  // namespace

Millis TimeOfDay(std::string_view field) {
  if (field.size() < 6) return -1;
  int digits[6];
  for (int i = 0; i < 6; ++i) {
    if (field[static_cast<std::size_t>(i)] < '0' || field[static_cast<std::size_t>(i)] > '9') return -1;
    digits[i] = field[static_cast<std::size_t>(i)] - '0';
  }
  const int h = digits[0] * 10 + digits[1], m = digits[2] * 10 + digits[3], s = digits[4] * 10 + digits[5];
  if (h > 23 || m > 59 || s > 60) return -1;
  Millis ms = 0;
  if (field.size() > 7 && field[6] == '.') {
    Millis scale = 100;
    for (std::size_t i = 7; i < field.size() && scale > 0; ++i, scale /= 10) {
      if (field[i] < '0' || field[i] > '9') return -1;
      ms += (field[i] - '0') * scale;
    }
  }
  return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

ReplaySource::ReplaySource(std::string_view fileText) {
  const std::vector<std::string_view> lines = LinesOf(fileText);
  bool anyTime = false, anyGga = false;
  for (std::string_view line : lines) {
    anyTime = anyTime || LineTime(line) >= 0;
    anyGga = anyGga || nmea::FieldView(line, 1) == "$GPGGA";
  }

  std::vector<Millis> times;  // per epoch, -1 when unknown
  for (std::string_view line : lines) {
    bool startsEpoch = epochs_.empty();
    const Millis t = LineTime(line);
    if (anyTime) {
      startsEpoch = startsEpoch || (t >= 0 && times.back() >= 0 && t != times.back());
    } else if (anyGga) {
      startsEpoch = startsEpoch || nmea::FieldView(line, 1) == "$GPGGA";
    } else {
      startsEpoch = true;
    }
    if (startsEpoch) {
      epochs_.emplace_back();
      times.push_back(t);
    } else if (times.back() < 0) {
      times.back() = t;
    }
    epochs_.back().text.append(line).append("\r\n");
  }

  for (std::size_t i = 0; i + 1 < epochs_.size(); ++i) {
    Millis pause = kDefaultPause;
    if (times[i] >= 0 && times[i + 1] >= 0) {
      const Millis gap = (times[i + 1] - times[i] + kDay) % kDay;
      if (gap > 0 && gap <= kLongestPause) pause = gap;
    }
    epochs_[i].pauseAfter = pause;
  }
}

const ReplaySource::Epoch& ReplaySource::Next() {
  const Epoch& e = epochs_[next_];
  next_ = (next_ + 1) % epochs_.size();
  return e;
}

}  // namespace sim
