#pragma once
// CompletionEngine: what a serial driver does for one open port behind the
// caller's back. CSerialLink owns one per open port, created by Open and
// stopped by Close; nothing else uses it.
//
// It keeps
// - the port's events: the event mask, the events that occurred since the
//   last completed wait (the history), and the one armed event wait;
// - the reads and writes that could not finish at once, each in its queue in
//   the order they were started;
// - the bytes it read ahead of the reader to find the event character.
//
// A background thread waits on the port (edge-triggered epoll) and on a
// wake-up flag. On every pass it moves what the queued transfers can move,
// turns edges, error counters, modem lines and the output queue into events,
// completes the armed wait when the history meets the mask, and completes each
// record whose work is done: result into the record, then its event
// signalled. A transfer that can finish at once finishes on the caller's
// thread without the engine thread; the one lock orders all of it, so the
// bytes of the port are read and written by one party at a time and in order.
//
// Every public operation may be called from any thread.

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "serial/serial_event.h"
#include "serial/serial_link.h"
#include "serial/serial_system.h"

namespace serial {

class CompletionEngine {
 public:
  // `eventMask` receives the events of each completed wait.
  CompletionEngine(SerialSystem& system, int port, std::atomic<std::uint32_t>& eventMask);
  CompletionEngine(const CompletionEngine&) = delete;
  CompletionEngine& operator=(const CompletionEngine&) = delete;
  ~CompletionEngine();

  // Starts the thread; `counters` are the error counters as Open found them.
  Status Start(const LineCounters& counters);
  // Ends every transfer and wait still pending with `code` (their events are
  // signalled), then stops and joins the thread. Nothing touches the port or
  // a record afterwards.
  void Stop(Status code);

  void SetMask(std::uint32_t mask);
  std::uint32_t Mask();
  void SetEventChar(std::uint8_t eventChar);
  // Discards the driver's buffers (through `system`) and the bytes read ahead.
  int Purge();

  // Start an operation completed through `record`. The result is
  // - ERROR_SUCCESS: done at once; the record holds the result and its event
  //   is signalled;
  // - ERROR_IO_PENDING: it goes on in the background, the record's status
  //   reads ERROR_IO_PENDING until it is done;
  // - any other code: it failed at once; the record holds that code and the
  //   bytes that moved, and its event is not signalled.
  // A record that is still pending is refused with ERROR_INVALID_PARAMETER.
  // `waitForAll`: the read ends only when `length` bytes have come.
  Status StartRead(void* buffer, std::uint32_t length, bool waitForAll, SerialCompletion& record);
  Status StartWrite(const void* data, std::uint32_t length, SerialCompletion& record);
  // One event wait at a time: a second one is refused with
  // ERROR_INVALID_PARAMETER.
  Status StartWait(SerialCompletion& record);
  // Ends the operation of `record` with `code` if it is still pending, with
  // the bytes that moved so far; false when it had already ended.
  bool Cancel(SerialCompletion& record, Status code);
  // The status of `record`, read in step with the engine: once it is not
  // ERROR_IO_PENDING, the engine is done with the record.
  Status StatusOf(const SerialCompletion& record);
  // True once the port has hung up; it never recovers.
  bool HungUp();

  static constexpr char kThreadName[] = "serial-engine";  // as ps and debuggers show it
  // Polling intervals while a wait needs them.
  static constexpr int kModemPollMs = 10;
  static constexpr int kOutputPollMs = 5;
  // The most the engine reads ahead of the reader.
  static constexpr std::size_t kReadAheadLimit = 64 * 1024;

 private:
  struct Transfer {
    SerialCompletion* record;
    unsigned char* data;
    std::uint32_t length;
    std::uint32_t done;
    bool waitForAll;
  };
  enum class HangUp { None, Seen, Reported };

  static void* Entry(void* self);
  void Run();
  void Wake();

  // With `lock` held.
  void Finish(SerialCompletion& record, std::uint32_t count, Status status);
  void FailAll(Status code);
  void Pass(std::uint32_t epollBits);
  std::uint32_t EventsOfEdge(std::uint32_t epollBits);
  void ServeWrites();
  void ServeReads();
  void ReadAhead();
  std::uint32_t TakeInput(unsigned char* to, std::uint32_t length, bool waitForAll, Status& failure);
  std::uint32_t GiveOutput(const unsigned char* from, std::uint32_t length, Status& failure);
  void Scan(const unsigned char* bytes, std::size_t count);
  void Taken(std::size_t count);  // bytes that left the driver's input queue
  void Raise(std::uint32_t events);
  void PollSources();
  void CompleteWaitIfDue();
  int PollTimeout() const;
  bool PortHungUp() const;
  Status Refusal() const;

  SerialSystem& system;
  const int port;
  std::atomic<std::uint32_t>& eventMask;
  SerialEvent wake;  // the flag, and the port edge-triggered, in one epoll instance
  pthread_t thread{};
  bool started = false;  // touched only by Start, Stop and the destructor

  std::mutex lock;
  bool stopping = false;
  Status broken = ERROR_SUCCESS;  // the engine's own wait failed: nothing can go pending
  std::uint32_t mask = 0;
  std::uint32_t history = 0;  // events in the mask since the last completed wait
  SerialCompletion* waitRecord = nullptr;
  std::deque<Transfer> reads;
  std::deque<Transfer> writes;
  std::vector<unsigned char> readAhead;
  std::size_t readAheadHead = 0;
  std::uint8_t eventChar = 0;
  LineCounters counters;  // as the last edge saw them
  // Bytes in the driver's input queue as last seen (TIOCINQ), less those read
  // since; `countsInput` while the driver answers TIOCINQ (without, every
  // edge that shows input is an arrival).
  std::uint32_t knownInput = 0;
  bool countsInput = true;
  HangUp hangUp = HangUp::None;
  bool txActive = false;      // bytes written since the output queue was last seen empty
  bool hasModemLines = true;  // until the device says it has none
  bool modemKnown = false;    // `modemLines` holds the lines as last polled
  int modemLines = 0;
};

}  // namespace serial
