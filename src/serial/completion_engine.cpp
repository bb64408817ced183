#include "serial/completion_engine.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace serial {
namespace {

// Hang-up and error always come; EPOLLRDHUP is a network source's far end
// closing, which a tty never reports.
constexpr std::uint32_t kPortEdges = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;
constexpr std::uint32_t kHangUpEdges = EPOLLHUP | EPOLLERR | EPOLLRDHUP;
constexpr std::uint32_t kModemEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;

// Errors of the modem-line, counter and queue ioctls from devices that have
// no such thing (pseudo-terminals, some Bluetooth links).
bool LacksFeature(int err) { return err == ENOTTY || err == EINVAL || err == EOPNOTSUPP; }

}  // namespace

CompletionEngine::CompletionEngine(SerialSystem& system, int port, std::atomic<std::uint32_t>& eventMask)
    : system(system), port(port), eventMask(eventMask) {}

CompletionEngine::~CompletionEngine() { Stop(ERROR_INVALID_HANDLE); }

Status CompletionEngine::Start(const LineCounters& initial) {
  counters = initial;
  int lines = 0;
  const int err = system.GetModemLines(port, lines);
  hasModemLines = !LacksFeature(err);
  modemKnown = err == 0;
  modemLines = lines;

  Status s = CreateSerialEvent(wake);
  if (s == ERROR_SUCCESS) {
    epoll_event ev{};
    ev.events = kPortEdges;
    ev.data.u32 = kEventPortTag;
    if (epoll_ctl(wake.waitFd, EPOLL_CTL_ADD, port, &ev) != 0) s = StatusFromErrno(errno);
  }
  if (s == ERROR_SUCCESS) {
    const int e = pthread_create(&thread, nullptr, &CompletionEngine::Entry, this);
    if (e != 0) s = StatusFromErrno(e);
  }
  if (s != ERROR_SUCCESS) {
    CloseSerialEvent(wake);
    return s;
  }
  started = true;
  pthread_setname_np(thread, kThreadName);
  return ERROR_SUCCESS;
}

void CompletionEngine::Stop(Status code) {
  {
    std::lock_guard guard(lock);
    stopping = true;
    FailAll(code);
  }
  if (started) {
    Wake();
    pthread_join(thread, nullptr);
    started = false;
  }
  CloseSerialEvent(wake);
}

void* CompletionEngine::Entry(void* self) {
  static_cast<CompletionEngine*>(self)->Run();
  return nullptr;
}

void CompletionEngine::Wake() { SetSerialEvent(wake); }

void CompletionEngine::Run() {
  for (;;) {
    int timeout = -1;
    {
      std::lock_guard guard(lock);
      if (stopping) return;
      timeout = PollTimeout();
    }
    epoll_event ready[4];
    const int n = epoll_wait(wake.waitFd, ready, 4, timeout);
    if (n < 0 && errno != EINTR) {
      const Status s = StatusFromErrno(errno);
      std::lock_guard guard(lock);
      broken = s;
      FailAll(s);
      return;
    }
    std::uint32_t portBits = 0;
    for (int i = 0; i < n; ++i) {
      if (ready[i].data.u32 == kEventPortTag) {
        portBits |= ready[i].events;
      } else {
        ResetSerialEvent(wake);  // before the pass: a later wake-up is not lost
      }
    }
    std::lock_guard guard(lock);
    if (stopping) return;
    Pass(portBits);
  }
}

void CompletionEngine::Finish(SerialCompletion& record, std::uint32_t count, Status status) {
  // The result first, the event last: whoever sees the event sees the result,
  // and the engine does not touch the record after this.
  record.transferred.store(count);
  record.status.store(status);
  SetSerialEvent(record.event);
}

void CompletionEngine::FailAll(Status code) {
  for (Transfer& t : reads) Finish(*t.record, t.done, code);
  for (Transfer& t : writes) Finish(*t.record, t.done, code);
  reads.clear();
  writes.clear();
  if (waitRecord != nullptr) Finish(*waitRecord, 0, code);
  waitRecord = nullptr;
}

// One round of the engine's work after the port moved (`epollBits`), a
// wake-up or a polling interval.
void CompletionEngine::Pass(std::uint32_t epollBits) {
  const std::uint32_t events = epollBits != 0 ? EventsOfEdge(epollBits) : 0;
  ServeWrites();
  ServeReads();
  if ((mask & EV_RXFLAG) && reads.empty()) ReadAhead();
  Raise(events);
  if (waitRecord != nullptr) PollSources();
  CompleteWaitIfDue();
}

std::uint32_t CompletionEngine::EventsOfEdge(std::uint32_t epollBits) {
  std::uint32_t events = 0;
  // An edge reports the port's whole readiness, also when the wake-up was a
  // write making room or a settings change: input counts as arrived only
  // when the driver holds more than it held when last looked at.
  if (epollBits & EPOLLIN) {
    std::uint32_t now = 0;
    if (countsInput && system.GetInputQueue(port, now) == 0) {
      if (now > knownInput) events |= EV_RXCHAR;
      knownInput = now;
    } else {
      countsInput = false;
      events |= EV_RXCHAR;
    }
  }
  if (epollBits & kHangUpEdges) {
    events |= EV_ERR;
    if (hangUp == HangUp::None) hangUp = HangUp::Seen;
  }
  LineCounters now;
  if (system.GetCounters(port, now) == 0) {
    if (now.frame != counters.frame || now.overrun != counters.overrun || now.parity != counters.parity) {
      events |= EV_ERR;
    }
    if (now.brk != counters.brk) events |= EV_BREAK;
    counters = now;
  }
  return events;
}

// Why nothing can start any more: the engine is stopping, or its own wait
// failed.
Status CompletionEngine::Refusal() const { return stopping ? ERROR_INVALID_HANDLE : broken; }

bool CompletionEngine::PortHungUp() const {
  pollfd p{port, POLLIN | POLLRDHUP, 0};
  return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL | POLLRDHUP)) != 0;
}

void CompletionEngine::Raise(std::uint32_t events) { history |= events & mask; }

// Bytes read from the port beyond those known to be there came after the
// last look: they are an arrival all the same, even when a reader takes them
// before the engine sees their edge.
void CompletionEngine::Taken(std::size_t count) {
  if (count == 0) return;
  if (countsInput && count > knownInput) Raise(EV_RXCHAR);
  knownInput -= static_cast<std::uint32_t>(std::min<std::size_t>(knownInput, count));
}

void CompletionEngine::Scan(const unsigned char* bytes, std::size_t count) {
  if ((mask & EV_RXFLAG) && count != 0 && std::memchr(bytes, eventChar, count) != nullptr) Raise(EV_RXFLAG);
}

// Reads for a reader: the bytes read ahead first, then the port. Without
// `waitForAll` one read of the port is enough.
std::uint32_t CompletionEngine::TakeInput(unsigned char* to, std::uint32_t length, bool waitForAll,
                                          Status& failure) {
  failure = ERROR_SUCCESS;
  const std::size_t queued = readAhead.size() - readAheadHead;
  std::uint32_t got = static_cast<std::uint32_t>(std::min<std::size_t>(queued, length));
  if (got != 0) {
    std::memcpy(to, readAhead.data() + readAheadHead, got);
    readAheadHead += got;
    if (readAheadHead == readAhead.size()) {
      readAhead.clear();
      readAheadHead = 0;
    } else if (readAheadHead >= kReadAheadLimit) {
      // A reader that never empties the queue must not make it grow.
      readAhead.erase(readAhead.begin(), readAhead.begin() + static_cast<std::ptrdiff_t>(readAheadHead));
      readAheadHead = 0;
    }
  }
  while (got < length) {
    std::size_t consumed = 0;
    const long n = system.Receive(port, to + got, length - got, consumed);
    Taken(consumed);
    if (n > 0) {
      Scan(to + got, static_cast<std::size_t>(n));
      got += static_cast<std::uint32_t>(n);
      if (!waitForAll) break;
      continue;
    }
    if (n == 0) {
      // With VMIN 0 an empty port reads as 0 bytes; a reader that waits for
      // its bytes must tell that from a port that hung up.
      if (waitForAll && PortHungUp()) failure = ERROR_IO_DEVICE;
      break;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN) failure = StatusFromErrno(errno);
    break;
  }
  return got;
}

std::uint32_t CompletionEngine::GiveOutput(const unsigned char* from, std::uint32_t length, Status& failure) {
  failure = ERROR_SUCCESS;
  std::uint32_t put = 0;
  while (put < length) {
    const long n = system.Send(port, from + put, length - put);
    if (n > 0) {
      put += static_cast<std::uint32_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) failure = StatusFromErrno(errno);
    break;
  }
  if (put != 0) txActive = true;
  return put;
}

void CompletionEngine::ServeWrites() {
  while (!writes.empty()) {
    Transfer& t = writes.front();
    Status failure = ERROR_SUCCESS;
    t.done += GiveOutput(t.data + t.done, t.length - t.done, failure);
    if (failure == ERROR_SUCCESS && t.done < t.length) return;  // the driver is full: wait for room
    Finish(*t.record, t.done, failure);
    writes.pop_front();
  }
}

void CompletionEngine::ServeReads() {
  while (!reads.empty()) {
    Transfer& t = reads.front();
    Status failure = ERROR_SUCCESS;
    t.done += TakeInput(t.data + t.done, t.length - t.done, t.waitForAll, failure);
    if (failure == ERROR_SUCCESS && t.waitForAll && t.done < t.length) return;  // wait for more
    Finish(*t.record, t.done, failure);
    reads.pop_front();
  }
}

// The event character can only be seen in bytes that have been read. While
// the mask asks for it and no reader waits, the engine reads what arrives
// into its own queue, which readers take first.
void CompletionEngine::ReadAhead() {
  unsigned char chunk[4096];
  while (readAhead.size() - readAheadHead < kReadAheadLimit) {
    const std::size_t room = kReadAheadLimit - (readAhead.size() - readAheadHead);
    std::size_t consumed = 0;
    const long n = system.Receive(port, chunk, std::min(sizeof chunk, room), consumed);
    Taken(consumed);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nothing more now; a failure shows to the next reader
    Scan(chunk, static_cast<std::size_t>(n));
    readAhead.insert(readAhead.end(), chunk, chunk + n);
  }
}

// Events that no edge announces, looked at while a wait is armed: the modem
// lines and the output queue running empty.
void CompletionEngine::PollSources() {
  if ((mask & kModemEvents) && hasModemLines) {
    int lines = 0;
    const int err = system.GetModemLines(port, lines);
    if (err == 0) {
      if (modemKnown) {
        const int changed = lines ^ modemLines;
        std::uint32_t events = 0;
        if (changed & TIOCM_CTS) events |= EV_CTS;
        if (changed & TIOCM_DSR) events |= EV_DSR;
        if (changed & TIOCM_CAR) events |= EV_RLSD;
        if ((changed & TIOCM_RNG) && (lines & TIOCM_RNG)) events |= EV_RING;
        Raise(events);
      }
      modemLines = lines;
      modemKnown = true;
    } else if (LacksFeature(err)) {
      hasModemLines = false;
    }
  }
  if ((mask & EV_TXEMPTY) && txActive && writes.empty()) {
    std::uint32_t queued = 0;
    const int err = system.GetOutputQueue(port, queued);
    // A driver that cannot tell holds nothing the link could wait for.
    if ((err == 0 && queued == 0) || LacksFeature(err)) {
      txActive = false;
      Raise(EV_TXEMPTY);
    }
  }
}

int CompletionEngine::PollTimeout() const {
  if (waitRecord == nullptr) return -1;
  int timeout = -1;
  if ((mask & kModemEvents) && hasModemLines) timeout = kModemPollMs;
  if ((mask & EV_TXEMPTY) && txActive && writes.empty()) {
    timeout = timeout < 0 ? kOutputPollMs : std::min(timeout, kOutputPollMs);
  }
  return timeout;
}

void CompletionEngine::CompleteWaitIfDue() {
  if (waitRecord == nullptr) return;
  if (const std::uint32_t due = history & mask) {
    eventMask.store(due);
    history = 0;
    if (hangUp == HangUp::Seen) hangUp = HangUp::Reported;
    SerialCompletion& record = *waitRecord;
    waitRecord = nullptr;
    Finish(record, 0, ERROR_SUCCESS);
  } else if (hangUp != HangUp::None && !(mask & EV_ERR)) {
    // The device is gone and the mask cannot say so: the wait fails.
    SerialCompletion& record = *waitRecord;
    waitRecord = nullptr;
    Finish(record, 0, ERROR_IO_DEVICE);
  }
}

void CompletionEngine::SetMask(std::uint32_t newMask) {
  std::lock_guard guard(lock);
  mask = newMask;
  CompleteWaitIfDue();
  if (waitRecord != nullptr) Wake();  // the polling may change
}

std::uint32_t CompletionEngine::Mask() {
  std::lock_guard guard(lock);
  return mask;
}

void CompletionEngine::SetEventChar(std::uint8_t c) {
  std::lock_guard guard(lock);
  eventChar = c;
}

int CompletionEngine::Purge() {
  std::lock_guard guard(lock);
  readAhead.clear();
  readAheadHead = 0;
  knownInput = 0;
  return system.Flush(port);
}

Status CompletionEngine::StartRead(void* buffer, std::uint32_t length, bool waitForAll,
                                   SerialCompletion& record) {
  std::lock_guard guard(lock);
  if (record.status.load() == ERROR_IO_PENDING) return ERROR_INVALID_PARAMETER;
  ResetSerialEvent(record.event);
  record.transferred.store(0);
  if (const Status refused = Refusal()) {
    record.status.store(refused);
    return refused;
  }
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::uint32_t done = 0;
  if (reads.empty()) {
    Status failure = ERROR_SUCCESS;
    done = TakeInput(bytes, length, waitForAll, failure);
    CompleteWaitIfDue();  // the bytes may have carried the event character
    if (failure != ERROR_SUCCESS) {
      record.transferred.store(done);
      record.status.store(failure);
      return failure;
    }
    if (!waitForAll || done == length) {
      Finish(record, done, ERROR_SUCCESS);
      return ERROR_SUCCESS;
    }
  }
  record.status.store(ERROR_IO_PENDING);
  reads.push_back(Transfer{&record, bytes, length, done, waitForAll});
  Wake();
  return ERROR_IO_PENDING;
}

Status CompletionEngine::StartWrite(const void* data, std::uint32_t length, SerialCompletion& record) {
  std::lock_guard guard(lock);
  if (record.status.load() == ERROR_IO_PENDING) return ERROR_INVALID_PARAMETER;
  ResetSerialEvent(record.event);
  record.transferred.store(0);
  if (const Status refused = Refusal()) {
    record.status.store(refused);
    return refused;
  }
  // The bytes are not written through this pointer; the queue holds both
  // directions alike.
  auto* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
  std::uint32_t done = 0;
  if (writes.empty()) {
    Status failure = ERROR_SUCCESS;
    done = GiveOutput(bytes, length, failure);
    if (done != 0 && waitRecord != nullptr && (mask & EV_TXEMPTY)) Wake();  // to watch the queue drain
    if (failure != ERROR_SUCCESS) {
      record.transferred.store(done);
      record.status.store(failure);
      return failure;
    }
    if (done == length) {
      Finish(record, done, ERROR_SUCCESS);
      return ERROR_SUCCESS;
    }
  }
  record.status.store(ERROR_IO_PENDING);
  writes.push_back(Transfer{&record, bytes, length, done, true});
  Wake();
  return ERROR_IO_PENDING;
}

Status CompletionEngine::StartWait(SerialCompletion& record) {
  std::lock_guard guard(lock);
  if (waitRecord != nullptr || record.status.load() == ERROR_IO_PENDING) return ERROR_INVALID_PARAMETER;
  ResetSerialEvent(record.event);
  record.transferred.store(0);
  if (const Status refused = Refusal()) {
    record.status.store(refused);
    return refused;
  }
  // A hang-up completes one wait, with EV_ERR; after that none can be armed.
  if (hangUp == HangUp::None && PortHungUp()) hangUp = HangUp::Seen;
  if (hangUp == HangUp::Reported || (hangUp == HangUp::Seen && !(mask & EV_ERR))) {
    record.status.store(ERROR_IO_DEVICE);
    return ERROR_IO_DEVICE;
  }
  if (hangUp == HangUp::Seen) Raise(EV_ERR);
  record.status.store(ERROR_IO_PENDING);
  waitRecord = &record;
  PollSources();
  CompleteWaitIfDue();
  if (waitRecord == nullptr) return record.status.load();
  if (PollTimeout() >= 0) Wake();  // the engine starts polling
  return ERROR_IO_PENDING;
}

bool CompletionEngine::Cancel(SerialCompletion& record, Status code) {
  std::lock_guard guard(lock);
  if (waitRecord == &record) {
    waitRecord = nullptr;
    Finish(record, 0, code);
    return true;
  }
  for (std::deque<Transfer>* queue : {&reads, &writes}) {
    for (auto it = queue->begin(); it != queue->end(); ++it) {
      if (it->record == &record) {
        Finish(record, it->done, code);
        queue->erase(it);
        return true;
      }
    }
  }
  return false;
}

Status CompletionEngine::StatusOf(const SerialCompletion& record) {
  std::lock_guard guard(lock);
  return record.status.load();
}

bool CompletionEngine::HungUp() {
  std::lock_guard guard(lock);
  return hangUp != HangUp::None || PortHungUp();
}

}  // namespace serial
