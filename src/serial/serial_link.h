#pragma once
// CSerialLink: one serial port with every operation the tool needs on it.
// No windows; CSerialWnd adds the watcher.
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
// - Flow control. FlowHardware is RTS/CTS (CRTSCTS) with DTR raised and held.
//   Linux's termios has no DTR/DSR handshake and no tty driver offers one
//   through it, so that half of the mode is not honoured: DSR does not hold
//   back output, and DTR stays up instead of following the input buffer.
//   FlowHardware needs modem lines: on a device without them (a
//   pseudo-terminal) it fails with the system's error (ERROR_INVALID_FUNCTION)
//   and changes nothing. FlowOff and FlowSoftware hold DTR and RTS low, which
//   a device without modem lines satisfies as it is.
// - Every open port has a completion engine (completion_engine.h): a
//   background thread that carries on what cannot finish at once.
//   * Write with a caller's record moves what the driver takes at once and
//     the rest in the background. Read with a record in ReadBlocking mode
//     takes what has come and goes on until the requested count has arrived;
//     in ReadNonBlocking mode it completes at once with what is there. An
//     event wait with a record completes when an event of the mask occurs.
//   * The call returns 0 either way (the byte count out stays 0 while the
//     operation runs). When it has ended, successfully or not, its status
//     and byte count are in the record and then the record's event is
//     signalled; it stays signalled until the record is used again. GetResult
//     collects the result, or reports ERROR_IO_INCOMPLETE while the operation
//     runs. The caller keeps the record, its event and the buffer untouched
//     until GetResult has reported the end (the event may be seen signalled a
//     moment before the engine is done with it); a record still in use is
//     refused (ERROR_INVALID_PARAMETER).
//   * Reads, and writes, are carried out in the order they were started: one
//     that starts while earlier ones of its direction are pending, a
//     synchronous one too, waits its turn.
//   * A synchronous operation is the same with an internal record on ioEvent,
//     waited for up to the time-out; one that runs out of time is withdrawn
//     (ERROR_TIMEOUT) and nothing is left pending. The byte count tells what
//     moved also when a transfer ends early (time-out, hang-up, Close): those
//     bytes are in the caller's buffer or in the driver's queue.
//   * Close ends every pending read, write and wait with
//     ERROR_INVALID_HANDLE and signals its event, then stops the engine, then
//     closes the port.
// - Events. A completed wait stays completed: its events are in eventMask
//   for TakeEvent, whatever happens to the port afterwards. Events of the
//   mask that occur while no wait is armed are kept and complete the next
//   wait at once. What each bit stands for:
//     EV_RXCHAR   bytes arrived: the driver's input queue (TIOCINQ) grew,
//                 or a read took more than was known to be in it. Once per
//                 arrival: wake-ups that find input still unread (a write
//                 making room, a settings change) do not count again.
//     EV_RXFLAG   the event character arrived. A tty cannot be peeked, so the
//                 character is looked for in the bytes as they are read:
//                 while the mask holds EV_RXFLAG the engine reads what arrives
//                 ahead into its own queue (at most 64 KiB), which Read
//                 empties before the port, and Read looks at the bytes it
//                 takes from the port itself.
//     EV_TXEMPTY  the output ran empty after a write: no write pending and
//                 the driver's output queue (TIOCOUTQ) at 0, looked at every
//                 few milliseconds while a wait for it is armed. A
//                 pseudo-terminal's queue is always 0: there it comes when
//                 the last pending byte has been handed over.
//     EV_CTS, EV_DSR, EV_RLSD   that modem line changed; EV_RING   the ring
//                 indicator came on. The lines are polled (TIOCMGET) every
//                 10 ms while an armed wait asks for them, on devices that
//                 have them; a change between two waits comes with the next.
//                 A pseudo-terminal has no modem lines.
//     EV_BREAK, EV_ERR   the driver's error counters (TIOCGICOUNT) moved: a
//                 break; a framing, overrun or parity error. EV_ERR also when
//                 the device hung up; that completes one wait, after which
//                 none can be armed (ERROR_IO_DEVICE; also a wait whose mask
//                 lacks EV_ERR). A pseudo-terminal has no error counters.
// - Network sources. A port name that stands for a network address
//   (port_names.h, net_address.h) opens a connection instead of a device;
//   the socket takes the tty's place under the engine, so events, reads,
//   writes and the watcher behave as with a device (net_source.h):
//   * Open connects within kNetOpenTimeoutMs; a failure sets the status
//     (ERROR_CONNECTION_REFUSED, ERROR_TIMEOUT, ERROR_BAD_NETPATH,
//     ERROR_DEV_NOT_EXIST, ERROR_BAD_NET_RESP, ERROR_INVALID_NAME...) and
//     FailureDetail() says in a sentence what happened.
//   * Line settings do not apply: Configure, SetFlowControl, SetReadMode and
//     SetEventChar succeed, change nothing on the wire and are reported back
//     by the queries; the read mode and the event character work as on a
//     device. There are no modem lines and no line errors (the queries fail
//     with ERROR_INVALID_FUNCTION, as on a pseudo-terminal).
//   * Purge discards what has been received and not read.
//   * The far end closing or resetting the connection is a hang-up: EV_ERR
//     completes one wait, none can be armed after it, and reads return
//     nothing or fail, as with an unplugged device.
//   * A gpsd source takes no writes (ERROR_NOT_SUPPORTED): gpsd owns the
//     device. TakesWrites() tells.
// - Queries that fail return their failure value and keep the system's error
//   in lastError, also where the device lacks the feature: on a
//   pseudo-terminal GetLineErrors (no error counters) and the Is...On queries
//   (no modem lines) give 0 or false with ERROR_INVALID_FUNCTION.
// - Read and Write refuse a null buffer with a non-zero length, and a record
//   without an event (ERROR_INVALID_PARAMETER); WriteText of a null text
//   writes nothing.
//
// Concurrency: one thread may read, write and change settings while one other
// thread has an event wait armed with its own record (the watcher). lastError
// and eventMask are atomic; the engine's state is behind its own lock.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

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

class CompletionEngine;
class NetSource;

// Completion record of one operation. The caller owns it and its event
// (CreateSerialEvent); the operation resets the event when it starts and
// signals it when it has ended, after storing the result here.
struct SerialCompletion {
  SerialEvent event;
  std::atomic<std::uint32_t> transferred{0};  // bytes the read or write moved
  std::atomic<Status> status{ERROR_SUCCESS};  // ERROR_IO_PENDING while the operation runs
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
  // The result of the operation last started with `record`: its status, and
  // in `count` (optional) the bytes it moved. While it runs: with `wait`,
  // waits for it to end; without, ERROR_IO_INCOMPLETE.
  Status GetResult(SerialCompletion* record, std::uint32_t* count, bool wait);
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
  // True when the open port's device has hung up (unplugged, or the far end
  // of a pseudo-terminal closed): it stays open until Close, but nothing
  // arrives on it any more and no event wait can be armed. False when closed.
  bool HungUp();
  // A network source is open.
  bool IsNetworkSource() const { return net != nullptr; }
  // Writes can reach the receiver: the port is open and is not a gpsd source.
  bool TakesWrites() const;
  // The open network source's address in canonical form; empty for a device.
  std::string SourceAddress() const;
  // What the last Open that failed found, in a sentence, where the status
  // alone says too little (network sources); empty otherwise.
  const std::string& FailureDetail() const { return failureDetail; }

 protected:
  // Stores `status` as the last error and returns it.
  Status StoreError(Status status);
  // Withdraws an event wait armed with `record` (ERROR_OPERATION_ABORTED), so
  // that nothing stays armed against a record that is about to go away.
  void CancelEventWait(SerialCompletion& record);

 private:
  struct CounterSnapshot {
    std::atomic<std::uint32_t> frame{0}, overrun{0}, parity{0}, brk{0}, bufOverrun{0};
    void Store(const LineCounters& c);
  };

  Status Begin();  // lastError = 0; ERROR_INVALID_HANDLE when closed
  Status ReadLine(LineSettings& settings);
  Status WriteLine(const LineSettings& settings);
  bool ModemStatus(std::uint32_t& status);
  Status Transfer(bool writing, void* data, std::uint32_t length, std::uint32_t* count,
                  SerialCompletion* record, std::uint32_t timeoutMs);
  // The end of an operation the engine started with `started`: a pending one
  // on the internal record is waited for up to the time-out.
  Status Conclude(Status started, SerialCompletion& record, bool internal, std::uint32_t* count,
                  std::uint32_t timeoutMs);
  void StopEngine();
  Status ConnectNetwork(const std::string& target, int& fd);
  // Closes the open descriptor and forgets the network source, if any.
  void ReleasePort(int fd);

  SerialSystem* system;        // the device's system calls, or the network source in their place
  SerialSystem* deviceSystem;  // what the link was made with
  std::atomic<Status> lastError{0};
  int port = -1;
  std::atomic<std::uint32_t> eventMask{kNoEvent};
  SerialEvent ioEvent;

  // What a driver would keep for the open port: the events, the pending
  // operations and the bytes read ahead live in the engine.
  std::unique_ptr<CompletionEngine> engine;
  CounterSnapshot errorCounters;   // error counters as GetLineErrors last cleared them
  std::unique_ptr<NetSource> net;  // while a network source is open
  std::string failureDetail;
};

}  // namespace serial
