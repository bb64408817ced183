#include "serial_test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "serial/completion_engine.h"
#include "serial/serial_event.h"
#include "serial/serial_wnd.h"

namespace serial_test {

PtyPair::PtyPair() {
  int slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) std::abort();
  close(slave);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  slavePath = name;
}

void PtyPair::CloseMaster() {
  if (master >= 0) close(master);
  master = -1;
}

void PtyPair::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(master, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      std::abort();
    } else {
      pollfd p{master, POLLOUT, 0};
      poll(&p, 1, kPatienceMs);
    }
  }
}

std::string PtyPair::TakeAvailable() {
  std::string taken;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
    taken.append(buffer, static_cast<std::size_t>(n));
  return taken;
}

std::string PtyPair::TakeExactly(std::size_t count) {
  std::string taken;
  const std::int64_t deadline = serial::DeadlineAfter(kPatienceMs);
  while (taken.size() < count) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, serial::RemainingMs(deadline)) <= 0) break;
    char buffer[4096];
    const ssize_t n = read(master, buffer, std::min(sizeof buffer, count - taken.size()));
    if (n > 0) taken.append(buffer, static_cast<std::size_t>(n));
  }
  return taken;
}

OwnedRecord::OwnedRecord() {
  if (serial::CreateSerialEvent(event) != serial::ERROR_SUCCESS) std::abort();
}

bool OwnedRecord::AwaitSignal() const {
  const serial::SerialEvent list[] = {event};
  return serial::WaitForSerialEvents(list, kPatienceMs) == 0;
}

void RecordingWindow::Deliver(platform::MessageId message, std::uintptr_t first, std::intptr_t second) {
  std::lock_guard guard(lock);
  messages.push_back(PostedMessage{message, first, second});
  arrived.notify_all();
}

bool RecordingWindow::WaitForCount(std::size_t count, int timeoutMs) {
  std::unique_lock guard(lock);
  return arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                          [&] { return messages.size() >= count; });
}

std::vector<PostedMessage> RecordingWindow::Messages() {
  std::lock_guard guard(lock);
  return messages;
}

FakeSerialSystem::FakeSerialSystem() {
  // What a freshly opened tty typically reports.
  line.iflag = ICRNL | IXON;
  line.oflag = OPOST | ONLCR;
  line.cflag = CS8 | CREAD | HUPCL;
  line.lflag = ICANON | ECHO | ISIG | IEXTEN;
  line.cc[VMIN] = 1;
  line.baud = 38400;
  modem = TIOCM_DTR | TIOCM_RTS;
}

int FakeSerialSystem::OpenDevice(const char* path, int& fd) {
  if (const int err = PosixSerialSystem::OpenDevice(path, fd)) return err;
  termios raw{};
  tcgetattr(fd, &raw);
  cfmakeraw(&raw);
  raw.c_cc[VMIN] = 0;
  tcsetattr(fd, TCSANOW, &raw);
  return 0;
}

int FakeSerialSystem::GetLine(int, serial::LineSettings& settings) {
  if (getLineError == 0) settings = line;
  return getLineError;
}

int FakeSerialSystem::SetLine(int, const serial::LineSettings& settings) {
  ++setLineCalls;
  line = settings;
  return 0;
}

int FakeSerialSystem::GetModemLines(int, int& lines) {
  ++modemCalls;
  lines = modemError == 0 ? modem.load() : 0;
  return modemError;
}

int FakeSerialSystem::ChangeModemLines(int, int raise, int lower) {
  if (modemError == 0) modem = (modem | raise) & ~lower;
  return modemError;
}

int FakeSerialSystem::GetCounters(int, serial::LineCounters& c) {
  if (counterError != 0) return counterError;
  c = {frame.load(), overrun.load(), parity.load(), brk.load(), bufOverrun.load()};
  return 0;
}

int FakeSerialSystem::GetOutputQueue(int, std::uint32_t& bytes) {
  ++outputQueueCalls;
  bytes = outputQueueError == 0 ? outputQueue.load() : 0;
  return outputQueueError;
}

bool FakeSerialSystem::WaitForCalls(const std::atomic<int>& calls, int count) {
  const std::int64_t deadline = serial::DeadlineAfter(kPatienceMs);
  while (calls.load() < count) {
    if (serial::RemainingMs(deadline) == 0) return false;
    const timespec pause{0, 1000000};
    nanosleep(&pause, nullptr);
  }
  return true;
}

int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (const dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
    closedir(dir);
  }
  return count;
}

namespace {

int ThreadsNamed(const char* wanted) {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
      std::string name;
      std::getline(comm, name);
      count += name == wanted;
    }
    closedir(dir);
  }
  return count;
}

bool ThreadsSettleAt(const char* name, int expected) {
  const std::int64_t deadline = serial::DeadlineAfter(kPatienceMs);
  while (ThreadsNamed(name) != expected) {
    if (serial::RemainingMs(deadline) == 0) return false;
    const timespec pause{0, 1000000};
    nanosleep(&pause, nullptr);
  }
  return true;
}

}  // namespace

int WatcherCount() { return ThreadsNamed(serial::kWatcherThreadName); }
bool WatchersSettleAt(int expected) { return ThreadsSettleAt(serial::kWatcherThreadName, expected); }
int EngineCount() { return ThreadsNamed(serial::CompletionEngine::kThreadName); }
bool EnginesSettleAt(int expected) {
  return ThreadsSettleAt(serial::CompletionEngine::kThreadName, expected);
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 0x12345678;  // xorshift: every step a new 32-bit state
  for (char& c : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x & 0xFF);
  }
  return bytes;
}

}  // namespace serial_test
