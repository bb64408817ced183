#pragma once
// CSerialLink: one serial port with every operation the tool needs on it.
// No windows, no threads; CSerialWnd adds the watcher.
//
// Each operation can be used synchronously (no completion record: it waits
// itself, up to a time-out) or with a caller's completion record. How the
// operations sit on Linux:
//
// - Open takes a port name ("COM3", see port_names.h) or an absolute device
//   path, opens it non-blocking and for exclusive use (flock, which holds
//   against root, plus TIOCEXCL; refused with ERROR_ACCESS_DENIED when
//   another process holds the device, see ports/port_guard.h), puts it into
//   raw 8-bit transfer and applies the defaults: event mask EV_RXCHAR |
//   EV_BREAK | EV_ERR, 9600 8N1, non-blocking reads, no flow control.
// - Line settings live in the tty's termios and are read back from it by
//   every query. The parity-checking switch is INPCK; the event character is
//   kept in the VEOL slot, which raw (non-canonical) mode never uses; the read
//   mode is VMIN: 0 for ReadNonBlocking, 1 for ReadBlocking.
// - Hardware flow control is CRTSCTS with DTR raised (the tty layer has no
//   DTR/DSR handshake); off and software flow hold DTR and RTS low. A device
//   without modem lines (a pseudo-terminal) takes the flow modes all the same.
// - The event mask lives in the object. An event wait completes on a fresh
//   edge of the port (edge-triggered epoll, so data that sits unread does not
//   complete another wait): EV_RXCHAR when input arrived, EV_ERR and EV_BREAK
//   when the driver's error counters (TIOCGICOUNT) moved, and EV_ERR when the
//   device hung up. EV_RXFLAG, EV_TXEMPTY, EV_CTS, EV_DSR, EV_RLSD and EV_RING
//   are accepted in the mask but never reported: a tty cannot be peeked for
//   the event character, and modem-line changes need a blocking ioctl.
// - A synchronous operation that runs out of time returns ERROR_TIMEOUT and
//   leaves nothing pending: all waiting happens inside the call.
// - Reads and writes with a caller's record never stay pending: they move
//   what the driver takes or holds at once, set the record's byte count,
//   signal its event and return 0. A read in ReadBlocking mode then returns
//   what has arrived so far. Only event waits go pending on a caller's record.
// - Read and Write refuse a null buffer with a non-zero length, and a record
//   without an event (ERROR_INVALID_PARAMETER); WriteText of a null text
//   writes nothing. A transfer that ends early (time-out, hang-up) still
//   reports in its byte count the bytes that did move.
//
// Concurrency: one thread may read, write and change settings while one other
// thread has an event wait armed with its own record (the watcher). lastError
// and eventMask are atomic; nothing else is shared.

#include <atomic>
#include <cstdint>

#include "serial/serial_event.h"
#include "serial/serial_status.h"
#include "serial/serial_system.h"

namespace serial {

enum SerialFlow : std::int32_t { FlowOff = 0, FlowHardware = 1, FlowSoftware = 2 };
enum SerialReadMode : std::int32_t { ReadNonBlocking = 0, ReadBlocking = 1 };
enum PortProbe : std::int32_t { PortAvailable = 0, PortNotPresent = 1, PortInUse = 2, PortUnknown = -1 };

// Event bits.
inline constexpr std::uint32_t EV_RXCHAR = 0x0001;
inline constexpr std::uint32_t EV_RXFLAG = 0x0002;
inline constexpr std::uint32_t EV_TXEMPTY = 0x0004;
inline constexpr std::uint32_t EV_CTS = 0x0008;
inline constexpr std::uint32_t EV_DSR = 0x0010;
inline constexpr std::uint32_t EV_RLSD = 0x0020;
inline constexpr std::uint32_t EV_BREAK = 0x0040;
inline constexpr std::uint32_t EV_ERR = 0x0080;
inline constexpr std::uint32_t EV_RING = 0x0100;

// Line-error bits. CE_RXOVER: the tty layer's buffer overflowed; CE_OVERRUN:
// the UART lost characters.
inline constexpr std::uint32_t CE_RXOVER = 0x0001;
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;
inline constexpr std::uint32_t CE_FRAME = 0x0008;
inline constexpr std::uint32_t CE_BREAK = 0x0010;

// Modem status bits.
inline constexpr std::uint32_t MS_CTS_ON = 0x0010;
inline constexpr std::uint32_t MS_DSR_ON = 0x0020;
inline constexpr std::uint32_t MS_RING_ON = 0x0040;
inline constexpr std::uint32_t MS_RLSD_ON = 0x0080;

inline constexpr std::uint32_t kNoEvent = 0xFFFFFFFF;  // eventMask when no event has been taken
inline constexpr std::uint32_t kDefaultEventMask = EV_RXCHAR | EV_BREAK | EV_ERR;

// Completion record of one operation. The caller owns it and its event
// (CreateSerialEvent); the operation resets the event when it starts and
// signals it when it completes.
struct SerialCompletion {
  SerialEvent event;
  std::uint32_t transferred = 0;  // bytes moved by a completed read or write
};

class CSerialLink {
 public:
  CSerialLink();
  explicit CSerialLink(SerialSystem& system);
  CSerialLink(const CSerialLink&) = delete;
  CSerialLink& operator=(const CSerialLink&) = delete;

  virtual ~CSerialLink();
  virtual Status Open(const char* device, std::uint32_t inQueue, std::uint32_t outQueue);
  virtual Status Close();
  virtual Status Configure(std::int32_t baudRate, std::int32_t dataBits, std::int32_t parity,
                           std::int32_t stopBits);
  virtual Status SetEventChar(char eventChar, bool addToMask);
  virtual Status SetEventMask(std::uint32_t mask);
  virtual Status WaitEvent(SerialCompletion* record, std::uint32_t timeoutMs);
  virtual Status SetFlowControl(SerialFlow mode);
  virtual Status SetReadMode(SerialReadMode mode);
  virtual std::int32_t GetBaudRate();
  virtual std::int32_t GetDataBits();
  virtual std::int32_t GetParity();
  virtual std::int32_t GetStopBits();
  virtual std::int32_t GetFlowControl();
  virtual std::uint32_t GetEventMask();
  virtual char GetEventChar();
  virtual Status WriteText(const char* text, std::uint32_t* written, SerialCompletion* record,
                           std::uint32_t timeoutMs);
  virtual Status Write(const void* data, std::uint32_t length, std::uint32_t* written,
                       SerialCompletion* record, std::uint32_t timeoutMs);
  virtual Status Read(void* buffer, std::uint32_t capacity, std::uint32_t* read, SerialCompletion* record,
                      std::uint32_t timeoutMs);

  Status Purge();
  std::uint32_t TakeEvent();
  std::uint32_t GetLineErrors();
  bool IsCtsOn();
  bool IsDsrOn();
  bool IsRingOn();
  bool IsRlsdOn();

  // Opens the device as Open does and closes it again at once.
  static PortProbe ProbePort(const char* device);

  Status LastError() const { return lastError.load(std::memory_order_relaxed); }
  bool IsOpen() const { return port >= 0; }

 protected:
  // Stores `status` as the last error and returns it.
  Status StoreError(Status status);
  // Withdraws an event wait armed with a record on `event`, so that nothing
  // stays armed against a record that is about to go away.
  void CancelEventWait(const SerialEvent& event);

 private:
  struct CounterSnapshot {
    std::atomic<std::uint32_t> frame{0}, overrun{0}, parity{0}, brk{0}, bufOverrun{0};
    void Store(const LineCounters& c);
  };

  Status Begin();  // lastError = 0; ERROR_INVALID_HANDLE when closed
  Status ReadLine(LineSettings& settings);
  Status WriteLine(const LineSettings& settings);
  // Takes a pending edge of the port from `event`; true and its epoll bits
  // when there was one.
  bool TakeEdge(const SerialEvent& event, std::uint32_t& epollBits);
  // The events an edge stands for, within the current mask.
  std::uint32_t EventsOf(std::uint32_t epollBits);
  // ERROR_SUCCESS, or the code for a port that hung up or went away.
  Status PortHealth() const;
  bool ModemStatus(std::uint32_t& status);
  Status Transfer(bool writing, void* data, std::uint32_t length, std::uint32_t* count,
                  SerialCompletion* record, std::uint32_t timeoutMs);

  SerialSystem* system;
  std::atomic<Status> lastError{0};
  int port = -1;
  std::atomic<std::uint32_t> eventMask{kNoEvent};
  SerialEvent ioEvent;

  // What a driver would keep for the open port.
  std::atomic<std::uint32_t> waitMask{0};   // the events a wait reports
  std::atomic<int> armedWait{-1};           // waitFd of the record an event wait is armed on
  CounterSnapshot eventCounters;            // error counters as the last event wait saw them
  CounterSnapshot errorCounters;            // ... and as GetLineErrors last cleared them
  std::atomic<bool> hangUpReported{false};  // a completed wait has carried the hang-up
};

}  // namespace serial
