#pragma once
// Shared pieces of the serial tests: a pseudo-terminal standing in for the
// receiver's end of the cable, a window that records what is posted to it,
// and a stand-in for the settings a pseudo-terminal cannot hold.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_messages.h"
#include "serial/serial_link.h"
#include "serial/serial_system.h"

namespace serial_test {

// Failure bound for anything a test waits for; never reached when all is well.
inline constexpr int kPatienceMs = 10000;

// A pseudo-terminal pair. The test holds the master; the link opens
// SlavePath() like any device.
class PtyPair {
 public:
  PtyPair();
  ~PtyPair() { CloseMaster(); }
  const std::string& SlavePath() const { return slavePath; }
  void Send(std::string_view bytes);           // from the receiver to the port
  std::string TakeExactly(std::size_t count);  // what the port wrote; waits, bounded
  std::string TakeAvailable();
  void CloseMaster();

 private:
  int master = -1;
  std::string slavePath;
};

// A completion record with its own event, for the length of a test.
struct OwnedRecord : serial::SerialCompletion {
  OwnedRecord();
  ~OwnedRecord() { serial::CloseSerialEvent(event); }
  bool Signalled() const { return serial::IsSerialEventSignalled(event); }
  bool AwaitSignal() const;  // false after kPatienceMs
};

struct PostedMessage {
  platform::MessageId message = 0;
  std::uintptr_t first = 0;
  std::intptr_t second = 0;
};

class RecordingWindow : public platform::WindowMessageSink {
 public:
  RecordingWindow() : handle(platform::AddWindow(*this)) {}
  ~RecordingWindow() { Remove(); }
  platform::WindowHandle Handle() const { return handle; }
  void Remove() { platform::RemoveWindow(handle); }
  void Deliver(platform::MessageId message, std::uintptr_t first, std::intptr_t second) override;
  // True once at least `count` messages have arrived; false after `timeoutMs`.
  bool WaitForCount(std::size_t count, int timeoutMs = kPatienceMs);
  std::vector<PostedMessage> Messages();

 private:
  platform::WindowHandle handle;
  std::mutex lock;
  std::condition_variable arrived;
  std::vector<PostedMessage> messages;
};

// Settings and modem lines kept in memory, on top of a real (raw)
// pseudo-terminal for the data. Plain fields belong to the test thread; the
// atomic ones are read by the port's engine and the watcher too.
class FakeSerialSystem : public serial::PosixSerialSystem {
 public:
  FakeSerialSystem();
  int OpenDevice(const char* path, int& fd) override;
  int SetQueueSizes(int, std::uint32_t, std::uint32_t) override { return queueError; }
  int GetLine(int, serial::LineSettings& settings) override;
  int SetLine(int, const serial::LineSettings& settings) override;
  int GetModemLines(int, int& lines) override;
  int ChangeModemLines(int, int raise, int lower) override;
  int GetCounters(int, serial::LineCounters& counters) override;
  int GetOutputQueue(int, std::uint32_t& bytes) override;

  // True once the engine has asked for the modem lines or the output queue
  // at least `count` times in all; false after kPatienceMs.
  bool WaitForModemPolls(int count) const { return WaitForCalls(modemCalls, count); }
  bool WaitForOutputPolls(int count) const { return WaitForCalls(outputQueueCalls, count); }

  serial::LineSettings line;
  int setLineCalls = 0;
  int getLineError = 0, queueError = 0;  // errno values to fail with
  std::atomic<int> modem{0};
  std::atomic<int> modemError{0}, counterError{0}, outputQueueError{0};
  std::atomic<std::uint32_t> frame{0}, overrun{0}, parity{0}, brk{0}, bufOverrun{0};
  std::atomic<std::uint32_t> outputQueue{0};
  std::atomic<int> modemCalls{0}, outputQueueCalls{0};

 private:
  static bool WaitForCalls(const std::atomic<int>& calls, int count);
};

// A watching object (CSerialWnd or a class derived from it) that lets a test
// see the watcher arm its waits, and make the arms fail from the n-th on.
template <class Wnd>
class Observed : public Wnd {
 public:
  ~Observed() override {
    if (this->IsWatching()) this->Close();  // before this class is gone: the watcher calls WaitEvent
  }
  serial::Status WaitEvent(serial::SerialCompletion* record, std::uint32_t timeoutMs) override {
    {
      std::lock_guard guard(lock);
      ++arms;
      armed.notify_all();
      if (failFromArm != 0 && arms >= failFromArm) return this->StoreError(serial::ERROR_IO_DEVICE);
    }
    return Wnd::WaitEvent(record, timeoutMs);
  }
  bool WaitForArms(int count) {
    std::unique_lock guard(lock);
    return armed.wait_for(guard, std::chrono::milliseconds(kPatienceMs), [&] { return arms >= count; });
  }
  int failFromArm = 0;  // set before the watcher starts

 private:
  std::mutex lock;
  std::condition_variable armed;
  int arms = 0;
};

int OpenDescriptorCount();
// Watcher threads alive in this process. A joined thread can linger in /proc
// for a moment after pthread_join, so WatchersSettleAt polls (bounded) until
// the count is `expected`.
int WatcherCount();
bool WatchersSettleAt(int expected);
// The same for the ports' completion engines.
int EngineCount();
bool EnginesSettleAt(int expected);

// Pseudo-random bytes, so that a lost, doubled or swapped chunk shows in a
// comparison.
std::string Pattern(std::size_t size);

}  // namespace serial_test
