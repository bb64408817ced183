#pragma once
// The system calls through which the serial link reaches a tty device, behind
// one interface so that tests can stand in for the settings that a
// pseudo-terminal cannot hold (parity, character size, modem lines, error
// counters), and so that a network source (net_source.h) can take a tty's
// place under the link. PosixSerialSystem is the real thing;
// RealSerialSystem() is the instance every link uses unless it is given
// another.
//
// Settings, control, and the bytes themselves go through here; waiting for
// readiness acts on the descriptor directly, so whatever stands in returns a
// real descriptor from OpenDevice (a pseudo-terminal) or connects one (a
// socket).
//
// Every operation returns 0 or the errno value of its failure, except
// Receive and Send, which behave as read() and write() do.

#include <array>
#include <cstddef>
#include <cstdint>

namespace serial {

// The line settings of a tty: the termios flag words and control characters,
// with the speed as a plain number of bits per second. `cflag` never carries
// the speed bits (CBAUD, CIBAUD); the real system encodes and decodes them.
struct LineSettings {
  std::uint32_t iflag = 0;
  std::uint32_t oflag = 0;
  std::uint32_t cflag = 0;
  std::uint32_t lflag = 0;
  std::array<std::uint8_t, 32> cc{};  // indexed by VMIN, VTIME, VEOL, ...
  std::uint32_t baud = 0;             // output speed; input follows it

  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// The driver's cumulative error counters (TIOCGICOUNT).
struct LineCounters {
  std::uint32_t frame = 0;
  std::uint32_t overrun = 0;  // the UART lost characters
  std::uint32_t parity = 0;
  std::uint32_t brk = 0;
  std::uint32_t bufOverrun = 0;  // the tty layer's buffer was full

  friend bool operator==(const LineCounters&, const LineCounters&) = default;
};

class SerialSystem {
 public:
  virtual ~SerialSystem() = default;

  // Opens for reading and writing, non-blocking, not as controlling terminal.
  virtual int OpenDevice(const char* path, int& fd) = 0;
  virtual int CloseDevice(int fd) = 0;
  // Exclusive use: flock(LOCK_EX | LOCK_NB), which holds against root too,
  // then TIOCEXCL. A lock held elsewhere fails with EBUSY.
  virtual int Lock(int fd) = 0;
  // Gives up TIOCEXCL before the descriptor is closed.
  virtual void Unlock(int fd) = 0;
  // The driver queue sizes; see PosixSerialSystem for what Linux honours.
  virtual int SetQueueSizes(int fd, std::uint32_t inQueue, std::uint32_t outQueue) = 0;
  virtual int GetLine(int fd, LineSettings& settings) = 0;
  virtual int SetLine(int fd, const LineSettings& settings) = 0;
  // Modem lines as TIOCM_ bits.
  virtual int GetModemLines(int fd, int& lines) = 0;
  virtual int ChangeModemLines(int fd, int raise, int lower) = 0;
  virtual int GetCounters(int fd, LineCounters& counters) = 0;
  // Discards both directions of the driver's buffers.
  virtual int Flush(int fd) = 0;
  // Bytes the driver still holds to send (TIOCOUTQ).
  virtual int GetOutputQueue(int fd, std::uint32_t& bytes) = 0;
  // Bytes received and not yet read (TIOCINQ). A source that cannot say
  // fails; then every readiness edge counts as an arrival.
  virtual int GetInputQueue(int fd, std::uint32_t& bytes) = 0;
  // read() and write() on the non-blocking descriptor: the count moved, 0 at
  // the end of input, or -1 with errno (EAGAIN: nothing now). `consumed`:
  // how much left the input queue, which for a source that leaves bytes out
  // (gpsd's own lines) can be more than what was delivered, also when
  // nothing was.
  virtual long Receive(int fd, void* buffer, std::size_t length, std::size_t& consumed) = 0;
  virtual long Send(int fd, const void* data, std::size_t length) = 0;
};

class PosixSerialSystem : public SerialSystem {
 public:
  int OpenDevice(const char* path, int& fd) override;
  int CloseDevice(int fd) override;
  int Lock(int fd) override;
  void Unlock(int fd) override;
  // Linux has no request for tty queue sizes: the line discipline's read
  // buffer (4 KiB) and the flip buffers (up to 64 KiB) on the receive side and
  // each driver's transmit buffer are fixed by the kernel. Nothing is honoured
  // beyond checking that the descriptor is a tty; the sizes are accepted as
  // given.
  int SetQueueSizes(int fd, std::uint32_t inQueue, std::uint32_t outQueue) override;
  // Uses termios2 (TCGETS2 / TCSETS2): a speed with a Bxxx constant is set
  // with it, any other (76800) with BOTHER; both carry the number itself too.
  // Reading back decodes what the driver reports.
  int GetLine(int fd, LineSettings& settings) override;
  int SetLine(int fd, const LineSettings& settings) override;
  int GetModemLines(int fd, int& lines) override;
  int ChangeModemLines(int fd, int raise, int lower) override;
  int GetCounters(int fd, LineCounters& counters) override;
  int Flush(int fd) override;
  // A pseudo-terminal hands what is written straight to its other end and
  // always reports 0.
  int GetOutputQueue(int fd, std::uint32_t& bytes) override;
  int GetInputQueue(int fd, std::uint32_t& bytes) override;
  long Receive(int fd, void* buffer, std::size_t length, std::size_t& consumed) override;
  long Send(int fd, const void* data, std::size_t length) override;
};

SerialSystem& RealSerialSystem();

}  // namespace serial
