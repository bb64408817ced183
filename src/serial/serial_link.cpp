#include "serial/serial_link.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "ports/port_guard.h"
#include "serial/completion_engine.h"
#include "serial/net_source.h"
#include "serial/port_names.h"

namespace serial {
namespace {

// Errors of the modem-line and counter ioctls from devices that have no such
// lines or counters (pseudo-terminals, some Bluetooth links).
bool LacksFeature(int err) { return err == ENOTTY || err == EINVAL || err == EOPNOTSUPP; }

// What Open needs of a device besides opening it: exclusive use, and proof
// that it is a tty at all. Exclusive use also means that no other program
// reads it, locks or not: it would take bytes meant for us. With `claim` our
// lock file tells other programs that we hold it now.
Status OpenDevice(SerialSystem& system, const char* name, const std::string& path, int& fd, bool claim) {
  fd = -1;
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

// A caller's record can start an operation when it has an event and its last
// operation has ended. (Only the caller starts operations on it, so a record
// that has ended cannot become pending behind this check.)
bool Usable(const SerialCompletion* record) {
  return record == nullptr || (record->event && record->status.load() != ERROR_IO_PENDING);
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

CSerialLink::CSerialLink(SerialSystem& system) : system(&system), deviceSystem(&system) {}

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
  failureDetail.clear();
  if (device == nullptr) return StoreError(ERROR_INVALID_PARAMETER);

  std::string target;
  if (const Status s = ResolvePortName(device, target)) {
    if (s == ERROR_INVALID_NAME) {
      failureDetail = "\"" + QuotedText(target) + "\" is not a usable address: " + AddressProblem(target);
    }
    return StoreError(s);
  }
  int fd = -1;
  if (IsAddressTarget(target)) {
    if (const Status s = ConnectNetwork(target, fd)) return StoreError(s);
  } else if (const Status s = OpenDevice(*system, device, target, fd, true)) {
    return StoreError(s);
  }

  LineCounters counters;
  if (system->GetCounters(fd, counters) != 0) counters = LineCounters{};
  SerialEvent event;
  Status s = CreateSerialEvent(event);
  auto newEngine = std::make_unique<CompletionEngine>(*system, fd, eventMask);
  if (s == ERROR_SUCCESS) s = newEngine->Start(counters);
  if (s != ERROR_SUCCESS) {
    newEngine.reset();
    CloseSerialEvent(event);
    ReleasePort(fd);
    return StoreError(s);
  }
  port = fd;
  ioEvent = event;
  engine = std::move(newEngine);
  eventMask.store(kNoEvent);
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
  if (err == 0) engine->SetEventChar(line.cc[VEOL]);
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
  StopEngine();
  CloseSerialEvent(ioEvent);
  ReleasePort(port);
  port = -1;
  return ERROR_SUCCESS;
}

// A network source takes the device's place: the link's settings and bytes
// go to it from here on, until ReleasePort.
Status CSerialLink::ConnectNetwork(const std::string& target, int& fd) {
  fd = -1;
  NetAddress address;
  if (!ParseNetAddress(target, address).empty()) return ERROR_INVALID_NAME;
  std::unique_ptr<NetSource> source;
  if (const Status s = NetSource::Connect(address, kNetOpenTimeoutMs, source, failureDetail)) return s;
  fd = source->Socket();
  net = std::move(source);
  system = net.get();
  return ERROR_SUCCESS;
}

void CSerialLink::ReleasePort(int fd) {
  if (!net) {
    ports::ProcessPortGuard().Release(fd);
    system->Unlock(fd);
  }
  system->CloseDevice(fd);
  net.reset();
  system = deviceSystem;
}

bool CSerialLink::TakesWrites() const { return port >= 0 && (!net || net->TakesWrites()); }

std::string CSerialLink::SourceAddress() const {
  return net ? FormatNetAddress(net->Address()) : std::string();
}

void CSerialLink::StopEngine() {
  if (engine) engine->Stop(ERROR_INVALID_HANDLE);
  engine.reset();
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
  if (const Status s = WriteLine(line)) return s;
  engine->SetEventChar(line.cc[VEOL]);
  return ERROR_SUCCESS;
}

Status CSerialLink::SetEventMask(std::uint32_t mask) {
  if (const Status s = Begin()) return s;
  engine->SetMask(mask);
  return ERROR_SUCCESS;
}

Status CSerialLink::SetFlowControl(SerialFlow mode) {
  if (const Status s = Begin()) return s;
  if (mode != FlowOff && mode != FlowHardware && mode != FlowSoftware) return StoreError(E_INVALIDARG);
  LineSettings line;
  if (const Status s = ReadLine(line)) return s;
  line.cflag &= ~static_cast<std::uint32_t>(CRTSCTS);
  line.iflag &= ~static_cast<std::uint32_t>(IXON | IXOFF);
  const int lines = TIOCM_DTR | TIOCM_RTS;
  if (mode == FlowHardware) {
    // The handshake needs the modem lines: DTR and RTS go up before the
    // switch goes on, and a device without them cannot take the mode.
    if (const int err = system->ChangeModemLines(port, lines, 0)) return StoreError(StatusFromErrno(err));
    line.cflag |= CRTSCTS;
    return WriteLine(line);
  }
  if (mode == FlowSoftware) line.iflag |= IXON | IXOFF;
  if (const Status s = WriteLine(line)) return s;
  // DTR and RTS held low; a device without modem lines has none to hold.
  const int err = system->ChangeModemLines(port, 0, lines);
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
  return engine->Mask();
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

// Reads and writes go through the engine: it moves at once what can be moved
// and carries on with the rest. A synchronous transfer waits for its internal
// record here.
Status CSerialLink::Transfer(bool writing, void* data, std::uint32_t length, std::uint32_t* count,
                             SerialCompletion* record, std::uint32_t timeoutMs) {
  lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
  std::uint32_t local = 0;
  if (count == nullptr) count = &local;
  *count = 0;
  if (port < 0) return StoreError(ERROR_INVALID_HANDLE);
  if (data == nullptr && length != 0) return StoreError(ERROR_INVALID_PARAMETER);
  if (!Usable(record)) return StoreError(ERROR_INVALID_PARAMETER);
  if (writing && net && !net->TakesWrites()) return StoreError(ERROR_NOT_SUPPORTED);  // gpsd owns the device

  // A read waits for its full length only in ReadBlocking mode.
  bool waitForAll = true;
  if (!writing) {
    LineSettings line;
    if (const Status s = ReadLine(line)) return s;
    waitForAll = line.cc[VMIN] != 0;
  }
  SerialCompletion internal;
  internal.event = ioEvent;
  SerialCompletion& used = record != nullptr ? *record : internal;
  const Status started =
      writing ? engine->StartWrite(data, length, used) : engine->StartRead(data, length, waitForAll, used);
  return Conclude(started, used, record == nullptr, count, timeoutMs);
}

Status CSerialLink::Conclude(Status started, SerialCompletion& record, bool internal, std::uint32_t* count,
                             std::uint32_t timeoutMs) {
  if (started == ERROR_IO_PENDING) {
    if (!internal) return ERROR_SUCCESS;  // the caller collects the result
    const SerialEvent list[] = {ioEvent};
    const int woke = WaitForSerialEvents(list, timeoutMs);
    if (woke != 0) engine->Cancel(record, woke == kWaitTimedOut ? ERROR_TIMEOUT : ERROR_INVALID_HANDLE);
    started = engine->StatusOf(record);
  }
  if (count != nullptr) *count = record.transferred.load();
  return started == ERROR_SUCCESS ? ERROR_SUCCESS : StoreError(started);
}

// An event wait. Events that occurred since the last completed wait complete
// it at once; otherwise a caller's record stays armed until the engine
// completes it, and a synchronous wait waits here.
Status CSerialLink::WaitEvent(SerialCompletion* record, std::uint32_t timeoutMs) {
  if (const Status s = Begin()) return s;
  if (engine->Mask() == 0 || !Usable(record)) return StoreError(ERROR_INVALID_PARAMETER);
  SerialCompletion internal;
  internal.event = ioEvent;
  SerialCompletion& used = record != nullptr ? *record : internal;
  return Conclude(engine->StartWait(used), used, record == nullptr, nullptr, timeoutMs);
}

Status CSerialLink::GetResult(SerialCompletion* record, std::uint32_t* count, bool wait) {
  lastError.store(ERROR_SUCCESS, std::memory_order_relaxed);
  if (count != nullptr) *count = 0;
  if (record == nullptr || !record->event) return StoreError(ERROR_INVALID_PARAMETER);
  for (;;) {
    // Closing ends every pending operation, so without an engine none runs.
    const Status status = engine ? engine->StatusOf(*record) : record->status.load();
    if (status != ERROR_IO_PENDING) {
      if (count != nullptr) *count = record->transferred.load();
      return status == ERROR_SUCCESS ? ERROR_SUCCESS : StoreError(status);
    }
    if (!wait) return StoreError(ERROR_IO_INCOMPLETE);
    const SerialEvent list[] = {record->event};
    if (WaitForSerialEvents(list, kInfinite) != 0) return StoreError(ERROR_INVALID_HANDLE);
  }
}

bool CSerialLink::HungUp() { return engine != nullptr && engine->HungUp(); }

std::uint32_t CSerialLink::TakeEvent() { return eventMask.exchange(kNoEvent); }

void CSerialLink::CancelEventWait(SerialCompletion& record) {
  if (engine) engine->Cancel(record, ERROR_OPERATION_ABORTED);
}

Status CSerialLink::Purge() {
  if (const Status s = Begin()) return s;
  const int err = engine->Purge();
  return err == 0 ? ERROR_SUCCESS : StoreError(StatusFromErrno(err));
}

std::uint32_t CSerialLink::GetLineErrors() {
  if (Begin()) return 0;
  LineCounters now;
  const int err = system->GetCounters(port, now);
  if (err != 0) {
    StoreError(StatusFromErrno(err));
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
  std::string target;
  Status s = device != nullptr ? ResolvePortName(device, target) : ERROR_INVALID_PARAMETER;
  if (s == ERROR_SUCCESS && IsAddressTarget(target)) {
    // A network source is there when it can be connected to.
    NetAddress address;
    ParseNetAddress(target, address);
    std::unique_ptr<NetSource> source;
    std::string detail;
    s = NetSource::Connect(address, kNetOpenTimeoutMs, source, detail);
    if (s == ERROR_CONNECTION_REFUSED || s == ERROR_BAD_NETPATH || s == ERROR_DEV_NOT_EXIST) {
      return PortNotPresent;
    }
    return s == ERROR_SUCCESS ? PortAvailable : PortUnknown;
  }
  if (s == ERROR_SUCCESS) s = OpenDevice(system, device, target, fd, false);
  switch (s) {
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
