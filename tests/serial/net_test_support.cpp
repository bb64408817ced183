#include "net_test_support.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "serial/serial_event.h"
#include "serial_test_support.h"

namespace serial_test {
namespace {

int ListenOnLoopback(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) std::abort();
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0)
    std::abort();
  port = ntohs(a.sin_port);
  return fd;
}

bool Await(int fd, short events, std::int64_t deadline) {
  pollfd p{fd, events, 0};
  return poll(&p, 1, serial::RemainingMs(deadline)) > 0;
}

}  // namespace

LoopbackPeer::LoopbackPeer() { listener = ListenOnLoopback(port); }

LoopbackPeer::~LoopbackPeer() {
  Join();
  if (connection >= 0) close(connection);
  close(listener);
}

std::string LoopbackPeer::Address(std::string_view scheme, std::string_view device) const {
  return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + std::string(device);
}

bool LoopbackPeer::Accept() {
  if (!Await(listener, POLLIN, serial::DeadlineAfter(kPatienceMs))) return false;
  connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  return connection >= 0;
}

void LoopbackPeer::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0 && errno != EINTR) return;
    if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string LoopbackPeer::TakeLine() {
  const std::int64_t deadline = serial::DeadlineAfter(kPatienceMs);
  for (;;) {
    if (const std::size_t end = pending.find('\n'); end != std::string::npos) {
      std::string line = pending.substr(0, end + 1);
      pending.erase(0, end + 1);
      return line;
    }
    if (!Await(connection, POLLIN, deadline)) return {};
    char buffer[4096];
    const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) return {};
    pending.append(buffer, static_cast<std::size_t>(n));
  }
}

std::string LoopbackPeer::TakeUntilClosed() {
  const std::int64_t deadline = serial::DeadlineAfter(kPatienceMs);
  std::string taken = std::move(pending);
  pending.clear();
  while (Await(connection, POLLIN, deadline)) {
    char buffer[4096];
    const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    taken.append(buffer, static_cast<std::size_t>(n));
  }
  return taken;
}

void LoopbackPeer::Close() {
  if (connection >= 0) close(connection);
  connection = -1;
}

void LoopbackPeer::Reset() {
  const linger abort{1, 0};  // closing sends a reset instead of a FIN
  setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  Close();
}

void LoopbackPeer::Serve(std::function<void(LoopbackPeer&)> script) {
  server = std::thread([this, script = std::move(script)] {
    if (Accept()) script(*this);
  });
}

void LoopbackPeer::Join() {
  if (server.joinable()) server.join();
}

int RefusingPort() {
  int port = 0;
  close(ListenOnLoopback(port));
  return port;
}

}  // namespace serial_test
