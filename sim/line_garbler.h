#pragma once
// What a serial line does to bytes on their way: the garbling of a speed
// mismatch, and noise injected on purpose.

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

// The bytes a UART set to `receiverBaud` reads from a line on which `bytes`
// are sent back to back at `senderBaud`, 8N1, with the line idle before and
// after. The line is modelled bit by bit: the receiver waits for the line to
// go low (a start bit), samples the eight data bits at the middle of each of
// its own bit times and then the stop bit; a stop bit found low is a framing
// error, which the receiving tty delivers as a zero byte. It then looks for
// the next start bit from the middle of that stop bit. Speeds within a few
// per cent of each other read correctly; anything further off yields the
// familiar garbage of wrong, zero, missing and extra bytes. The result
// depends on nothing but the arguments. Equal speeds, or a speed of 0,
// return the bytes unchanged.
std::string ThroughMismatchedLine(std::string_view bytes, std::uint32_t senderBaud,
                                  std::uint32_t receiverBaud);

// A small pseudo-random generator of a fixed algorithm (splitmix64), so noise is
// the same for the same seed on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform in [0, bound); bound > 0.
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  std::uint64_t state_;
};

// Corrupts a given fraction of the lines passing through it (0 none, 1 all),
// each with one defect chosen at random:
//  - one byte of the line has one bit flipped;
//  - a zero byte is inserted into the line;
//  - an over-long line (83 to 1000 printable characters after "$GP", no
//    checksum) is put in front of it.
class NoiseInjector {
 public:
  NoiseInjector(double fraction, std::uint64_t seed) : fraction_(fraction), random_(seed) {}
  // `text` is whole lines, each ending with LF.
  std::string Apply(std::string_view text);
  bool Enabled() const { return fraction_ > 0; }

 private:
  void Corrupt(std::string_view line, std::string& out);

  double fraction_;
  Random random_;
};

}  // namespace sim
