#include "serial/serial_link.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "ports/port_guard.h"
#include "serial/port_names.h"

namespace serial {
namespace {

// Registration of a port in an event's epoll instance: every change of its
// readiness queues one edge. Hang-up and error are always reported.
constexpr std::uint32_t kRecordEdges = EPOLLIN | EPOLLRDHUP | EPOLLET;
constexpr std::uint32_t kLocalEdges = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;

// Errors of the modem-line and counter ioctls from devices that have no such
// lines or counters (pseudo-terminals, some Bluetooth links).
bool LacksFeature(int err) { return err == ENOTTY || err == EINVAL || err == EOPNOTSUPP; }

// What Open needs of a device besides opening it: exclusive use, and proof
// that it is a tty at all. Exclusive use also means that no other program
// reads it, locks or not: it would take bytes meant for us. With `claim` our
// lock file tells other programs that we hold it now.
Status OpenDevice(SerialSystem& system, const char* name, int& fd, bool claim) {
  fd = -1;
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  std::string path;
  if (const Status s = ResolvePortName(name, path)) return s;
  ports::PortGuard& guard = ports::ProcessPortGuard();
  guard.Forget(name);
  int err = system.OpenDevice(path.c_str(), fd);
  if (err != 0) {
    fd = -1;
    if (err == EBUSY) guard.CheckHolder(name, path);  // to name who keeps it for itself
    // A ttyS node without a UART behind it fails with EIO: not there.
    return StatusFromErrno(err == EIO ? ENODEV : err);
  }
  err = system.Lock(fd);
  if (err == 0) {
    LineSettings probe;
    err = system.GetLine(fd, probe);
    if (err != 0) system.Unlock(fd);
  }
  // Holders are looked for only on a tty (every process has /dev/null open),
  // or to name the one whose lock refused us.
  if (err == 0 || err == EBUSY) {
    if (guard.CheckHolder(name, path) || (err == 0 && claim && guard.Claim(name, path, fd))) {
      if (err == 0) system.Unlock(fd);
      err = EBUSY;
    }
  }
  if (err != 0) {
    system.CloseDevice(fd);
    fd = -1;
    return StatusFromErrno(err);
  }
  return ERROR_SUCCESS;
}

void MakeRaw(LineSettings& s) {
  s.iflag &= ~static_cast<std::uint32_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  s.oflag &= ~static_cast<std::uint32_t>(OPOST);
  s.lflag &= ~static_cast<std::uint32_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  s.cflag &= ~static_cast<std::uint32_t>(CSIZE | PARENB);
  s.cflag |= CS8 | CLOCAL | CREAD;
  s.cc[VMIN] = 1;
  s.cc[VTIME] = 0;
}

std::uint32_t SizeBits(std::int32_t dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

std::int32_t DataBitsOf(std::uint32_t cflag) {
  switch (cflag & CSIZE) {
    case CS5:
      return 5;
    case CS6:
      return 6;
    case CS7:
      return 7;
    default:
      return 8;
  }
}

constexpr std::uint32_t kParityBits = PARENB | PARODD | CMSPAR;

// Parity codes 0 none, 1 odd, 2 even, 3 mark, 4 space as cflag bits.
std::uint32_t ParityBits(std::int32_t parity) {
  switch (parity) {
    case 1:
      return PARENB | PARODD;
    case 2:
      return PARENB;
    case 3:
      return PARENB | CMSPAR | PARODD;
    case 4:
      return PARENB | CMSPAR;
    default:
      return 0;
  }
}

std::int32_t ParityOf(std::uint32_t cflag) {
  if (!(cflag & PARENB)) return 0;
  if (cflag & CMSPAR) return (cflag & PARODD) ? 3 : 4;
  return (cflag & PARODD) ? 1 : 2;
}

// Reports one counter's change since `snapshot` and moves the snapshot on.
bool Moved(std::atomic<std::uint32_t>& snapshot, std::uint32_t now) { return snapshot.exchange(now) != now; }

}  // namespace

void CSerialLink::CounterSnapshot::Store(const LineCounters& c) {
  frame.store(c.frame);
  overrun.store(c.overrun);
  parity.store(c.parity);
  brk.store(c.brk);
  bufOverrun.store(c.bufOverrun);
}

CSerialLink::CSerialLink() : CSerialLink(RealSerialSystem()) {}

CSerialLink::CSerialLink(SerialSystem& system) : system(&system) {}

CSerialLink::~CSerialLink() {
  if (port >= 0) CSerialLink::Close();
}

Status CSerialLink::StoreError(Status status) {
  lastError.store(status, std::memory_order_relaxed);
  return status;
}

Status CSerialLink::Begin() {
  lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
  return port < 0 ? StoreError(ERROR_INVALID_HANDLE) : ERROR_SUCCESS;
}

Status CSerialLink::ReadLine(LineSettings& settings) {
  const int err = system->GetLine(port, settings);
  return err == 0 ? ERROR_SUCCESS : StoreError(StatusFromErrno(err));
}

Status CSerialLink::WriteLine(const LineSettings& settings) {
  const int err = system->SetLine(port, settings);
  return err == 0 ? ERROR_SUCCESS : StoreError(StatusFromErrno(err));
}

Status CSerialLink::Open(const char* device, std::uint32_t inQueue, std::uint32_t outQueue) {
  lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
  if (port >= 0) return StoreError(ERROR_ALREADY_INITIALIZED);

  int fd = -1;
  if (const Status s = OpenDevice(*system, device, fd, true)) return StoreError(s);

  SerialEvent event;
  Status s = CreateSerialEvent(event);
  if (s == ERROR_SUCCESS) {
    epoll_event ev{};
    ev.events = kLocalEdges;
    ev.data.u32 = kEventPortTag;
    if (epoll_ctl(event.waitFd, EPOLL_CTL_ADD, fd, &ev) != 0) s = StatusFromErrno(errno);
  }
  if (s != ERROR_SUCCESS) {
    CloseSerialEvent(event);
    ports::ProcessPortGuard().Release(fd);
    system->Unlock(fd);
    system->CloseDevice(fd);
    return StoreError(s);
  }
  port = fd;
  ioEvent = event;
  eventMask.store(kNoEvent);
  armedWait.store(-1);
  hangUpReported.store(false);
  LineCounters counters;
  if (system->GetCounters(port, counters) != 0) counters = LineCounters{};
  eventCounters.Store(counters);
  errorCounters.Store(counters);

  // Raw 8-bit transfer, then the queue sizes; a failure of either closes
  // through the virtual Close so that a derived class's Close runs.
  LineSettings line;
  int err = system->GetLine(port, line);
  if (err == 0) {
    MakeRaw(line);
    err = system->SetLine(port, line);
  }
  if (err == 0) err = system->SetQueueSizes(port, inQueue, outQueue);
  if (err != 0) {
    s = StatusFromErrno(err);
    Close();
    return StoreError(s);
  }

  SetEventMask(kDefaultEventMask);
  Configure(9600, 8, 0, 0);
  SetReadMode(ReadNonBlocking);
  SetFlowControl(FlowOff);

  // The last default decides the result. A port whose open is reported as
  // failed must not stay open: nobody would close it, and every later Open
  // would meet ERROR_ALREADY_INITIALIZED.
  s = lastError.load(std::memory_order_relaxed);
  if (s != ERROR_SUCCESS) {
    Close();
    return StoreError(s);
  }
  return s;
}

Status CSerialLink::Close() {
  lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
  if (port < 0) return ERROR_SUCCESS;
  armedWait.store(-1);
  CloseSerialEvent(ioEvent);
  ports::ProcessPortGuard().Release(port);
  system->Unlock(port);
  system->CloseDevice(port);
  port = -1;
  return ERROR_SUCCESS;
}

Status CSerialLink::Configure(std::int32_t baudRate, std::int32_t dataBits, std::int32_t parity,
                              std::int32_t stopBits) {
  if (const Status s = Begin()) return s;
  LineSettings line;
  if (const Status s = ReadLine(line)) return s;
  // The combinations a UART cannot make: 1.5 stop bits go only with 5 data
  // bits, and 2 stop bits never do.
  const bool valid = baudRate > 0 && dataBits >= 5 && dataBits <= 8 && parity >= 0 && parity <= 4 &&
                     stopBits >= 0 && stopBits <= 2 && (stopBits != 1 || dataBits == 5) &&
                     (stopBits != 2 || dataBits != 5);
  if (!valid) return StoreError(ERROR_INVALID_PARAMETER);
  line.baud = static_cast<std::uint32_t>(baudRate);
  line.cflag = (line.cflag & ~static_cast<std::uint32_t>(CSIZE | kParityBits | CSTOPB)) | SizeBits(dataBits) |
               ParityBits(parity) | (stopBits != 0 ? CSTOPB : 0u);
  if (parity != 0) {
    line.iflag |= INPCK;
  } else {
    line.iflag &= ~static_cast<std::uint32_t>(INPCK);
  }
  return WriteLine(line);
}

Status CSerialLink::SetEventChar(char eventChar, bool addToMask) {
  if (const Status s = Begin()) return s;
  LineSettings line;
  if (const Status s = ReadLine(line)) return s;
  line.cc[VEOL] = static_cast<std::uint8_t>(eventChar);
  if (addToMask) SetEventMask(GetEventMask() | EV_RXFLAG);
  lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
  return WriteLine(line);
}

Status CSerialLink::SetEventMask(std::uint32_t mask) {
  if (const Status s = Begin()) return s;
  waitMask.store(mask);
  return ERROR_SUCCESS;
}

Status CSerialLink::SetFlowControl(SerialFlow mode) {
  if (const Status s = Begin()) return s;
  if (mode != FlowOff && mode != FlowHardware && mode != FlowSoftware) return StoreError(E_INVALIDARG);
  LineSettings line;
  if (const Status s = ReadLine(line)) return s;
  line.cflag &= ~static_cast<std::uint32_t>(CRTSCTS);
  line.iflag &= ~static_cast<std::uint32_t>(IXON | IXOFF);
  if (mode == FlowHardware) line.cflag |= CRTSCTS;
  if (mode == FlowSoftware) line.iflag |= IXON | IXOFF;
  if (const Status s = WriteLine(line)) return s;
  // DTR and RTS: raised for the handshake, held low otherwise.
  const int lines = TIOCM_DTR | TIOCM_RTS;
  const int err = mode == FlowHardware ? system->ChangeModemLines(port, lines, 0)
                                       : system->ChangeModemLines(port, 0, lines);
  if (err != 0 && !LacksFeature(err)) return StoreError(StatusFromErrno(err));
  return ERROR_SUCCESS;
}

Status CSerialLink::SetReadMode(SerialReadMode mode) {
  if (const Status s = Begin()) return s;
  if (mode != ReadNonBlocking && mode != ReadBlocking) return StoreError(E_INVALIDARG);
  LineSettings line;
  if (const Status s = ReadLine(line)) return s;
  line.cc[VMIN] = mode == ReadBlocking ? 1 : 0;
  line.cc[VTIME] = 0;
  return WriteLine(line);
}

std::int32_t CSerialLink::GetBaudRate() {
  LineSettings line;
  if (Begin() || ReadLine(line)) return -1;
  return static_cast<std::int32_t>(line.baud);
}

std::int32_t CSerialLink::GetDataBits() {
  LineSettings line;
  if (Begin() || ReadLine(line)) return -1;
  return DataBitsOf(line.cflag);
}

std::int32_t CSerialLink::GetParity() {
  LineSettings line;
  if (Begin() || ReadLine(line)) return -1;
  return (line.iflag & INPCK) ? ParityOf(line.cflag) : 0;
}

std::int32_t CSerialLink::GetStopBits() {
  LineSettings line;
  if (Begin() || ReadLine(line)) return -1;
  if (!(line.cflag & CSTOPB)) return 0;
  return (line.cflag & CSIZE) == CS5 ? 1 : 2;
}

std::int32_t CSerialLink::GetFlowControl() {
  LineSettings line;
  if (Begin() || ReadLine(line)) return -1;
  if (line.cflag & CRTSCTS) return FlowHardware;
  if ((line.iflag & IXON) && (line.iflag & IXOFF)) return FlowSoftware;
  return FlowOff;
}

std::uint32_t CSerialLink::GetEventMask() {
  if (Begin()) return 0;
  return waitMask.load();
}

char CSerialLink::GetEventChar() {
  LineSettings line;
  if (Begin() || ReadLine(line)) return 0;
  return static_cast<char>(line.cc[VEOL]);
}

Status CSerialLink::WriteText(const char* text, std::uint32_t* written, SerialCompletion* record,
                              std::uint32_t timeoutMs) {
  const std::size_t length = text != nullptr ? std::strlen(text) : 0;
  if (length > UINT32_MAX) {
    lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
    if (written != nullptr) *written = 0;
    return StoreError(ERROR_INVALID_PARAMETER);
  }
  return Write(text, static_cast<std::uint32_t>(length), written, record, timeoutMs);
}

Status CSerialLink::Write(const void* data, std::uint32_t length, std::uint32_t* written,
                          SerialCompletion* record, std::uint32_t timeoutMs) {
  return Transfer(true, const_cast<void*>(data), length, written, record, timeoutMs);
}

Status CSerialLink::Read(void* buffer, std::uint32_t capacity, std::uint32_t* read, SerialCompletion* record,
                         std::uint32_t timeoutMs) {
  return Transfer(false, buffer, capacity, read, record, timeoutMs);
}

// Reads and writes. The descriptor is non-blocking; whatever has to wait
// waits here, on the port's own edges in ioEvent, and a time-out ends the
// transfer inside the call, so nothing is left pending. The byte count always
// tells what moved, also when the transfer ends early: those bytes are in the
// caller's buffer or in the driver's queue.
Status CSerialLink::Transfer(bool writing, void* data, std::uint32_t length, std::uint32_t* count,
                             SerialCompletion* record, std::uint32_t timeoutMs) {
  lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
  std::uint32_t local = 0;
  if (count == nullptr) count = &local;
  *count = 0;
  if (port < 0) return StoreError(ERROR_INVALID_HANDLE);
  if (data == nullptr && length != 0) return StoreError(ERROR_INVALID_PARAMETER);
  if (record != nullptr) {
    if (!record->event) return StoreError(ERROR_INVALID_PARAMETER);
    ResetSerialEvent(record->event);
    record->transferred = 0;
  }

  // A read waits for its full length only in ReadBlocking mode, and only
  // when nobody else collects it.
  bool waitForAll = writing;
  if (!writing) {
    LineSettings line;
    if (const Status s = ReadLine(line)) return s;
    waitForAll = line.cc[VMIN] != 0;
  }
  const bool mayWait = record == nullptr && waitForAll;

  auto* bytes = static_cast<unsigned char*>(data);
  const std::int64_t deadline = DeadlineAfter(timeoutMs);
  Status result = ERROR_SUCCESS;
  while (*count < length) {
    const ssize_t n = writing ? ::write(port, bytes + *count, length - *count)
                              : ::read(port, bytes + *count, length - *count);
    if (n > 0) {
      *count += static_cast<std::uint32_t>(n);
      if (!waitForAll) break;
      continue;
    }
    if (n == 0) {
      // A read of nothing from a tty that has data pending never happens:
      // the far end has hung up.
      if (!writing && mayWait) result = ERROR_IO_DEVICE;
      break;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN) {
      result = StatusFromErrno(errno);
      break;
    }
    if (!mayWait) break;
    epoll_event edges[2];
    const int ready = epoll_wait(ioEvent.waitFd, edges, 2, RemainingMs(deadline));
    if (ready < 0 && errno != EINTR) {
      result = StatusFromErrno(errno);
      break;
    }
    if (ready == 0) {
      result = ERROR_TIMEOUT;
      break;
    }
  }
  if (result != ERROR_SUCCESS) return StoreError(result);
  if (record != nullptr) {
    record->transferred = *count;
    SetSerialEvent(record->event);
  }
  return ERROR_SUCCESS;
}

Status CSerialLink::PortHealth() const {
  pollfd p{port, POLLIN, 0};
  if (poll(&p, 1, 0) < 0) return StatusFromErrno(errno);
  if (p.revents & POLLNVAL) return ERROR_INVALID_HANDLE;
  if (p.revents & (POLLHUP | POLLERR)) return ERROR_IO_DEVICE;
  return ERROR_SUCCESS;
}

bool CSerialLink::TakeEdge(const SerialEvent& event, std::uint32_t& epollBits) {
  epollBits = 0;
  bool edge = false;
  epoll_event ready[2];
  const int n = epoll_wait(event.waitFd, ready, 2, 0);
  for (int i = 0; i < n; ++i) {
    if (ready[i].data.u32 == kEventPortTag) {
      edge = true;
      epollBits |= ready[i].events;
    }
  }
  return edge;
}

std::uint32_t CSerialLink::EventsOf(std::uint32_t epollBits) {
  std::uint32_t events = 0;
  if (epollBits & EPOLLIN) events |= EV_RXCHAR;
  if (epollBits & (EPOLLHUP | EPOLLERR)) {
    events |= EV_ERR;
    hangUpReported.store(true);
  }
  LineCounters now;
  if (system->GetCounters(port, now) == 0) {
    const bool frame = Moved(eventCounters.frame, now.frame);
    const bool overrun = Moved(eventCounters.overrun, now.overrun);
    const bool parity = Moved(eventCounters.parity, now.parity);
    if (frame || overrun || parity) events |= EV_ERR;
    if (Moved(eventCounters.brk, now.brk)) events |= EV_BREAK;
  }
  return events & waitMask.load();
}

// An event wait. The port sits in the waiting record's event, edge-triggered;
// an edge that is already queued (input that arrived since the last wait)
// completes the wait at once, as does a hang-up. Otherwise a caller's record
// stays armed: its event reads as signalled with the next edge, and TakeEvent
// collects the events. Without a record the wait happens here on ioEvent.
Status CSerialLink::WaitEvent(SerialCompletion* record, std::uint32_t timeoutMs) {
  if (const Status s = Begin()) return s;
  if (waitMask.load() == 0) return StoreError(ERROR_INVALID_PARAMETER);
  const SerialEvent event = record != nullptr ? record->event : ioEvent;
  if (!event) return StoreError(ERROR_INVALID_PARAMETER);
  if (record != nullptr) ResetSerialEvent(event);

  // One wait at a time. Re-arming the record that is still armed is allowed:
  // its last edge may have been withdrawn because the input was drained before
  // TakeEvent looked.
  int armed = -1;
  if (!armedWait.compare_exchange_strong(armed, event.waitFd) && armed != event.waitFd) {
    return StoreError(ERROR_INVALID_PARAMETER);
  }
  if (record != nullptr) {
    epoll_event ev{};
    ev.events = kRecordEdges;
    ev.data.u32 = kEventPortTag;
    if (epoll_ctl(event.waitFd, EPOLL_CTL_ADD, port, &ev) != 0 && errno != EEXIST) {
      const Status s = StatusFromErrno(errno);
      armedWait.store(-1);
      return StoreError(s);
    }
  }

  // A hang-up completes one wait (with EV_ERR); after that no wait can be
  // armed on the port any more.
  std::uint32_t bits = 0;
  const bool edge = TakeEdge(event, bits);
  const Status health = PortHealth();
  if (health != ERROR_SUCCESS && hangUpReported.load()) {
    armedWait.store(-1);
    return StoreError(health);
  }
  if (edge || health != ERROR_SUCCESS) {
    if (const std::uint32_t events = EventsOf(bits | (health != ERROR_SUCCESS ? EPOLLHUP : 0u))) {
      eventMask.store(events);
      armedWait.store(-1);
      if (record != nullptr) SetSerialEvent(event);
      return ERROR_SUCCESS;
    }
  }
  if (health != ERROR_SUCCESS) {
    armedWait.store(-1);
    return StoreError(health);
  }
  if (record != nullptr) return ERROR_SUCCESS;

  const std::int64_t deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    epoll_event ready[2];
    const int n = epoll_wait(event.waitFd, ready, 2, RemainingMs(deadline));
    if (n < 0) {
      if (errno == EINTR) continue;
      const Status s = StatusFromErrno(errno);
      armedWait.store(-1);
      return StoreError(s);
    }
    if (n == 0) {
      armedWait.store(-1);
      return StoreError(ERROR_TIMEOUT);
    }
    bits = 0;
    for (int i = 0; i < n; ++i) bits |= ready[i].events;
    if (const std::uint32_t events = EventsOf(bits)) {
      eventMask.store(events);
      armedWait.store(-1);
      return ERROR_SUCCESS;
    }
    if (const Status s = PortHealth()) {
      armedWait.store(-1);
      return StoreError(s);
    }
  }
}

std::uint32_t CSerialLink::TakeEvent() {
  // A wait armed on a caller's record completes here, when its event has
  // been signalled by an edge of the port. epoll checks an edge again when it
  // hands it out, so an arrival that another thread has read away in the
  // meantime is gone: the wait then stays armed and kNoEvent comes back.
  const int armed = armedWait.load();
  if (armed >= 0 && armed != ioEvent.waitFd) {
    std::uint32_t bits = 0;
    SerialEvent event;
    event.waitFd = armed;
    if (TakeEdge(event, bits)) {
      int expected = armed;
      if (armedWait.compare_exchange_strong(expected, -1)) eventMask.store(EventsOf(bits));
    }
  }
  return eventMask.exchange(kNoEvent);
}

void CSerialLink::CancelEventWait(const SerialEvent& event) {
  int expected = event.waitFd;
  if (expected >= 0) armedWait.compare_exchange_strong(expected, -1);
}

Status CSerialLink::Purge() {
  if (const Status s = Begin()) return s;
  const int err = system->Flush(port);
  return err == 0 ? ERROR_SUCCESS : StoreError(StatusFromErrno(err));
}

std::uint32_t CSerialLink::GetLineErrors() {
  if (Begin()) return 0;
  LineCounters now;
  const int err = system->GetCounters(port, now);
  if (err != 0) {
    // A device that keeps no error counters has no errors to report.
    if (!LacksFeature(err)) StoreError(StatusFromErrno(err));
    return 0;
  }
  std::uint32_t errors = 0;
  if (Moved(errorCounters.bufOverrun, now.bufOverrun)) errors |= CE_RXOVER;
  if (Moved(errorCounters.overrun, now.overrun)) errors |= CE_OVERRUN;
  if (Moved(errorCounters.parity, now.parity)) errors |= CE_RXPARITY;
  if (Moved(errorCounters.frame, now.frame)) errors |= CE_FRAME;
  if (Moved(errorCounters.brk, now.brk)) errors |= CE_BREAK;
  return errors;
}

bool CSerialLink::ModemStatus(std::uint32_t& status) {
  status = 0;
  if (Begin()) return false;
  int lines = 0;
  if (const int err = system->GetModemLines(port, lines)) {
    StoreError(StatusFromErrno(err));
    return false;
  }
  if (lines & TIOCM_CTS) status |= MS_CTS_ON;
  if (lines & TIOCM_DSR) status |= MS_DSR_ON;
  if (lines & TIOCM_RNG) status |= MS_RING_ON;
  if (lines & TIOCM_CAR) status |= MS_RLSD_ON;
  return true;
}

bool CSerialLink::IsCtsOn() {
  std::uint32_t status = 0;
  return ModemStatus(status) && (status & MS_CTS_ON);
}

bool CSerialLink::IsDsrOn() {
  std::uint32_t status = 0;
  return ModemStatus(status) && (status & MS_DSR_ON);
}

bool CSerialLink::IsRingOn() {
  std::uint32_t status = 0;
  return ModemStatus(status) && (status & MS_RING_ON);
}

bool CSerialLink::IsRlsdOn() {
  std::uint32_t status = 0;
  return ModemStatus(status) && (status & MS_RLSD_ON);
}

PortProbe CSerialLink::ProbePort(const char* device) {
  SerialSystem& system = RealSerialSystem();
  int fd = -1;
  switch (OpenDevice(system, device, fd, false)) {
    case ERROR_SUCCESS:
      system.Unlock(fd);
      system.CloseDevice(fd);
      return PortAvailable;
    case ERROR_FILE_NOT_FOUND:
      return PortNotPresent;
    case ERROR_ACCESS_DENIED:
      return PortInUse;
    default:
      return PortUnknown;
  }
}

}  // namespace serial
