#pragma once
// A network source in a tty's place under the serial link: a connected TCP
// socket that the link's completion engine waits on, reads and writes like a
// device, through the SerialSystem seam.
//
// - Connect resolves the host, connects and, for gpsd, asks for the raw
//   stream, all within one time limit (kNetOpenTimeoutMs). A numeric host is
//   used as it is; a host name is looked up on a helper thread that the
//   caller stops waiting for at the limit (getaddrinfo cannot be
//   interrupted; a lookup that answers late is dropped). The caller's thread
//   blocks for the connection, at most for the limit, as an open of a
//   device does.
// - gpsd: Connect sends ?WATCH={"enable":true,"raw":1} (with "device" when
//   the address names one) and reads gpsd's answer up to its WATCH object;
//   an ERROR object ends the open with gpsd's message ("No such device as
//   /dev/ttyUSB9"), anything that is not gpsd's JSON with
//   ERROR_BAD_NET_RESP. What follows the WATCH object stays unread in the
//   socket. Reading then strips gpsd's own lines (gpsd_stream.h). Writing is
//   refused by the link (gpsd owns the device).
// - Line settings do not apply to a network source: they are kept here so
//   that the link's queries report what was last set. There are no modem
//   lines (asking for them fails as on a pseudo-terminal; holding them is
//   accepted and does nothing) and no error counters.
// - Purge discards what has been received and not read.
// - A connection the far end closes or resets, or that keep-alive probes
//   find dead (about 25 s of silence from a vanished host), reads as the end
//   of input; reads and writes that fail on it fail with EIO, as on a tty
//   that hung up.
//
// No lock files and no search for other holders: a network source is not a
// device on this machine.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "serial/gpsd_stream.h"
#include "serial/net_address.h"
#include "serial/serial_status.h"
#include "serial/serial_system.h"

namespace serial {

inline constexpr int kNetOpenTimeoutMs = 5000;

class NetSource final : public SerialSystem {
 public:
  // Connects to `address` within `timeoutMs`. On failure `detail` says what
  // happened in a sentence ("connection refused by 127.0.0.1:2000").
  static Status Connect(const NetAddress& address, int timeoutMs, std::unique_ptr<NetSource>& out,
                        std::string& detail);

  NetSource(const NetSource&) = delete;
  NetSource& operator=(const NetSource&) = delete;
  ~NetSource() override;

  int Socket() const { return socket; }
  const NetAddress& Address() const { return address; }
  bool TakesWrites() const { return address.scheme == NetScheme::Tcp; }

  // SerialSystem, for the socket.
  int OpenDevice(const char* path, int& fd) override;
  int CloseDevice(int fd) override;
  int Lock(int) override { return 0; }
  void Unlock(int) override {}
  int SetQueueSizes(int, std::uint32_t, std::uint32_t) override { return 0; }
  int GetLine(int fd, LineSettings& settings) override;
  int SetLine(int fd, const LineSettings& settings) override;
  int GetModemLines(int fd, int& lines) override;
  int ChangeModemLines(int, int, int) override { return 0; }
  int GetCounters(int fd, LineCounters& counters) override;
  int Flush(int fd) override;
  int GetOutputQueue(int fd, std::uint32_t& bytes) override;
  int GetInputQueue(int fd, std::uint32_t& bytes) override;
  long Receive(int fd, void* buffer, std::size_t length, std::size_t& consumed) override;
  long Send(int fd, const void* data, std::size_t length) override;

 private:
  NetSource(NetAddress address, int socket);

  const NetAddress address;
  int socket;
  std::mutex settingsLock;
  LineSettings settings;
  GpsdStream gpsd;  // used by the engine's thread under the engine's lock
};

}  // namespace serial
