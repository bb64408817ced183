#include "sim/line_garbler.h"

namespace sim {
namespace {

// The sender's line level at a time, in units of 1 / (2 * senderBaud *
// receiverBaud) seconds: a sender bit lasts 2 * receiverBaud units.
class Line {
 public:
  Line(std::string_view bytes, std::uint32_t receiverBaud)
      : bytes_(bytes), bitLength_(2 * static_cast<std::int64_t>(receiverBaud)) {}
  std::int64_t BitLength() const { return bitLength_; }
  std::int64_t End() const { return static_cast<std::int64_t>(bytes_.size()) * 10 * bitLength_; }

  // Level of sender bit `bit`: frames of start (0), eight data bits least
  // significant first, stop (1); idle (1) after the last frame.
  int LevelOfBit(std::int64_t bit) const {
    const std::int64_t frame = bit / 10;
    const int position = static_cast<int>(bit % 10);
    if (bit < 0 || frame >= static_cast<std::int64_t>(bytes_.size())) return 1;
    if (position == 0) return 0;
    if (position == 9) return 1;
    return (static_cast<unsigned char>(bytes_[static_cast<std::size_t>(frame)]) >> (position - 1)) & 1;
  }
  int LevelAt(std::int64_t t) const { return LevelOfBit(t / bitLength_); }

 private:
  std::string_view bytes_;
  std::int64_t bitLength_;
};

}  // namespace

std::string ThroughMismatchedLine(std::string_view bytes, std::uint32_t senderBaud,
                                  std::uint32_t receiverBaud) {
  if (senderBaud == receiverBaud || senderBaud == 0 || receiverBaud == 0) return std::string(bytes);
  const Line line(bytes, receiverBaud);
  // Half a receiver bit in the same units.
  const std::int64_t half = senderBaud;
  std::string out;
  std::int64_t t = 0;
  while (t < line.End()) {
    // Find the start bit: the line is low now, or at the next sender edge that goes low.
    std::int64_t start = t;
    if (line.LevelAt(t) != 0) {
      std::int64_t bit = t / line.BitLength() + 1;
      while (line.LevelOfBit(bit) != 0 && bit * line.BitLength() < line.End()) ++bit;
      start = bit * line.BitLength();
      if (start >= line.End()) break;
    }
    unsigned value = 0;
    for (int i = 0; i < 8; ++i) value |= static_cast<unsigned>(line.LevelAt(start + half * (3 + 2 * i))) << i;
    const std::int64_t stopSample = start + half * 19;
    const bool framingError = line.LevelAt(stopSample) == 0;
    out.push_back(static_cast<char>(framingError ? 0 : value));
    t = stopSample;
  }
  return out;
}

std::uint64_t Random::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string NoiseInjector::Apply(std::string_view text) {
  if (!Enabled()) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(start, end - start);
    if (random_.Unit() < fraction_) {
      Corrupt(line, out);
    } else {
      out += line;
    }
    start = end;
  }
  return out;
}

void NoiseInjector::Corrupt(std::string_view line, std::string& out) {
  // The bytes before the CR LF may be hit.
  std::size_t body = line.size();
  while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r')) --body;
  switch (random_.Below(3)) {
    case 0: {
      std::string changed(line);
      if (body > 0) changed[random_.Below(body)] ^= static_cast<char>(1u << random_.Below(8));
      out += changed;
      break;
    }
    case 1: {
      std::string changed(line);
      changed.insert(changed.begin() + static_cast<std::ptrdiff_t>(random_.Below(body + 1)), '\0');
      out += changed;
      break;
    }
    default: {
      const std::size_t length = 83 + random_.Below(1000 - 83 + 1);
      std::string junk = "$GP";
      while (junk.size() < length) {
        char c = static_cast<char>(' ' + random_.Below(95));  // printable, without "$" and "*"
        if (c == '$' || c == '*') c = ',';
        junk.push_back(c);
      }
      out += junk;
      out += "\r\n";
      out += line;
      break;
    }
  }
}

}  // namespace sim
