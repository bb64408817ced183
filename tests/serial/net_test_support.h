#pragma once
// A TCP peer on the loopback for the network-source tests: it listens on
// 127.0.0.1 on a free port, takes the link's connection and talks to it,
// every wait bounded. A script can run on a thread of its own for what must
// answer while the link's Open waits (gpsd's handshake).

#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace serial_test {

class LoopbackPeer {
 public:
  LoopbackPeer();
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  int Port() const { return port; }
  // "tcp://127.0.0.1:<port>" for scheme "tcp", and so on.
  std::string Address(std::string_view scheme = "tcp", std::string_view device = {}) const;

  // Waits for the connection; false after kPatienceMs.
  bool Accept();
  void Send(std::string_view bytes);
  // What the link sent up to and with the next '\n'; waits, bounded.
  std::string TakeLine();
  // Everything the link sends until it closes the connection; waits, bounded.
  std::string TakeUntilClosed();
  // Ends the connection: with a FIN, or with a reset.
  void Close();
  void Reset();

  // Accepts and runs `script` on a thread of its own; Join waits for it.
  void Serve(std::function<void(LoopbackPeer&)> script);
  void Join();

 private:
  int listener = -1;
  int connection = -1;
  int port = 0;
  std::string pending;  // received beyond the last line taken
  std::thread server;
};

// A port on the loopback that nothing listens on: connections are refused.
int RefusingPort();

}  // namespace serial_test
