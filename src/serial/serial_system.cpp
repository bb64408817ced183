// The kernel's termios2 lives in <asm/termbits.h>, which cannot share a unit
// with the C library's <termios.h>; this file includes only the kernel's.
#include "serial/serial_system.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace serial {
namespace {

struct SpeedCode {
  std::uint32_t baud;
  unsigned code;
};

// The speeds with a constant of their own. Anything else goes by BOTHER.
constexpr SpeedCode kSpeedCodes[] = {
    {50, B50},          {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},        {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},      {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},    {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},  {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}};

unsigned CodeOfSpeed(std::uint32_t baud) {
  for (const SpeedCode& s : kSpeedCodes) {
    if (s.baud == baud) return s.code;
  }
  return BOTHER;
}

std::uint32_t SpeedOfCode(unsigned code, std::uint32_t reported) {
  if (code == BOTHER) return reported;
  if (code == B0) return 0;
  for (const SpeedCode& s : kSpeedCodes) {
    if (s.code == code) return s.baud;
  }
  return reported;
}

int Ioctl(int fd, unsigned long request, void* arg) {
  for (;;) {
    if (ioctl(fd, request, arg) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

}  // namespace

int PosixSerialSystem::OpenDevice(const char* path, int& fd) {
  for (;;) {
    fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) return 0;
    if (errno != EINTR) return errno;
  }
}

int PosixSerialSystem::CloseDevice(int fd) { return close(fd) == 0 ? 0 : errno; }

int PosixSerialSystem::Lock(int fd) {
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? EBUSY : errno;
  }
  return Ioctl(fd, TIOCEXCL, nullptr);
}

void PosixSerialSystem::Unlock(int fd) { Ioctl(fd, TIOCNXCL, nullptr); }

int PosixSerialSystem::SetQueueSizes(int fd, std::uint32_t, std::uint32_t) {
  termios2 t{};
  return Ioctl(fd, TCGETS2, &t);
}

int PosixSerialSystem::GetLine(int fd, LineSettings& settings) {
  termios2 t{};
  if (const int err = Ioctl(fd, TCGETS2, &t)) return err;
  settings = LineSettings{};
  settings.iflag = t.c_iflag;
  settings.oflag = t.c_oflag;
  settings.cflag = t.c_cflag & ~static_cast<std::uint32_t>(CBAUD | CIBAUD);
  settings.lflag = t.c_lflag;
  std::copy_n(t.c_cc, std::min<std::size_t>(NCCS, settings.cc.size()), settings.cc.begin());
  settings.baud = SpeedOfCode(t.c_cflag & CBAUD, t.c_ospeed);
  return 0;
}

int PosixSerialSystem::SetLine(int fd, const LineSettings& settings) {
  termios2 t{};
  if (const int err = Ioctl(fd, TCGETS2, &t)) return err;
  t.c_iflag = settings.iflag;
  t.c_oflag = settings.oflag;
  // Input speed bits (CIBAUD) stay 0: input runs at the output speed.
  t.c_cflag = (settings.cflag & ~static_cast<std::uint32_t>(CBAUD | CIBAUD)) | CodeOfSpeed(settings.baud);
  t.c_lflag = settings.lflag;
  std::copy_n(settings.cc.begin(), std::min<std::size_t>(NCCS, settings.cc.size()), t.c_cc);
  t.c_ispeed = settings.baud;
  t.c_ospeed = settings.baud;
  return Ioctl(fd, TCSETS2, &t);
}

int PosixSerialSystem::GetModemLines(int fd, int& lines) {
  lines = 0;
  return Ioctl(fd, TIOCMGET, &lines);
}

int PosixSerialSystem::ChangeModemLines(int fd, int raise, int lower) {
  if (raise != 0) {
    if (const int err = Ioctl(fd, TIOCMBIS, &raise)) return err;
  }
  if (lower != 0) return Ioctl(fd, TIOCMBIC, &lower);
  return 0;
}

int PosixSerialSystem::GetCounters(int fd, LineCounters& counters) {
  serial_icounter_struct ic{};
  if (const int err = Ioctl(fd, TIOCGICOUNT, &ic)) return err;
  counters.frame = static_cast<std::uint32_t>(ic.frame);
  counters.overrun = static_cast<std::uint32_t>(ic.overrun);
  counters.parity = static_cast<std::uint32_t>(ic.parity);
  counters.brk = static_cast<std::uint32_t>(ic.brk);
  counters.bufOverrun = static_cast<std::uint32_t>(ic.buf_overrun);
  return 0;
}

int PosixSerialSystem::Flush(int fd) {
  for (;;) {
    if (ioctl(fd, TCFLSH, TCIOFLUSH) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

int PosixSerialSystem::GetOutputQueue(int fd, std::uint32_t& bytes) {
  int queued = 0;
  bytes = 0;
  if (const int err = Ioctl(fd, TIOCOUTQ, &queued)) return err;
  bytes = queued > 0 ? static_cast<std::uint32_t>(queued) : 0;
  return 0;
}

int PosixSerialSystem::GetInputQueue(int fd, std::uint32_t& bytes) {
  int queued = 0;
  bytes = 0;
  if (const int err = Ioctl(fd, TIOCINQ, &queued)) return err;
  bytes = queued > 0 ? static_cast<std::uint32_t>(queued) : 0;
  return 0;
}

long PosixSerialSystem::Receive(int fd, void* buffer, std::size_t length, std::size_t& consumed) {
  const ssize_t n = read(fd, buffer, length);
  consumed = n > 0 ? static_cast<std::size_t>(n) : 0;
  return n;
}

long PosixSerialSystem::Send(int fd, const void* data, std::size_t length) { return write(fd, data, length); }

SerialSystem& RealSerialSystem() {
  static PosixSerialSystem system;
  return system;
}

}  // namespace serial
