#pragma once
// The simulator's line on a TCP socket, as ser2net or socat would serve a
// receiver's serial line: the same bytes as on the pseudo-terminal go to the
// client, and what the client sends reaches the receiver. One client at a
// time: a second one is accepted and closed at once, so that two readers
// never split the receiver's output. When the client goes, the next may
// come.
//
// Output the client does not take (its buffers full) is lost, as on a line
// nobody reads.

#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

class TcpLine {
 public:
  TcpLine() = default;
  TcpLine(const TcpLine&) = delete;
  TcpLine& operator=(const TcpLine&) = delete;
  ~TcpLine();

  // Listens on `host` (a numeric IPv4 or IPv6 address) and `port` (0: a free
  // one). Returns an empty text, or what went wrong.
  std::string Listen(const std::string& host, int port);
  bool Listening() const { return listener_ >= 0; }
  // "tcp://127.0.0.1:2000", the address a client connects to.
  const std::string& Address() const { return address_; }

  int ListenerFd() const { return listener_; }
  int ClientFd() const { return client_; }
  bool HasClient() const { return client_ >= 0; }

  // Takes the connection waiting on the listener; returns the log line.
  std::string Accept();
  // Appends what the client sent to `bytes`. False when the client has gone
  // (then it is closed here).
  bool ReadClient(std::string& bytes);
  // Sends to the client what it takes now; returns how much that was. A
  // client whose connection failed is closed.
  std::size_t Write(std::string_view bytes);

 private:
  void DropClient();

  int listener_ = -1;
  int client_ = -1;
  std::string address_;
};

}  // namespace sim
