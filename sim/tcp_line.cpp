#include "sim/tcp_line.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sim {
namespace {

constexpr std::size_t kReadLimit = 65536;  // per wake-up

std::string Numeric(const sockaddr* address, socklen_t length, bool withPort) {
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (getnameinfo(address, length, host, sizeof host, service, sizeof service,
                  NI_NUMERICHOST | NI_NUMERICSERV) != 0)
    return "?";
  const bool v6 = std::strchr(host, ':') != nullptr;
  std::string text = v6 ? std::string("[") + host + "]" : std::string(host);
  return withPort ? text + ":" + service : text;
}

}  // namespace

TcpLine::~TcpLine() {
  DropClient();
  if (listener_ >= 0) close(listener_);
}

std::string TcpLine::Listen(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0)
    return "cannot listen on " + host + ": " + gai_strerror(rc);
  std::string error;
  for (const addrinfo* ai = found; ai != nullptr && listener_ < 0; ai = ai->ai_next) {
    const int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) {
      error = std::strerror(errno);
      continue;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, ai->ai_addr, ai->ai_addrlen) != 0 || listen(fd, 4) != 0) {
      error = std::strerror(errno);
      close(fd);
      continue;
    }
    listener_ = fd;
  }
  freeaddrinfo(found);
  if (listener_ < 0) return "cannot listen on " + host + " port " + service + ": " + error;
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
  address_ = "tcp://" + Numeric(reinterpret_cast<sockaddr*>(&bound), length, true);
  return {};
}

std::string TcpLine::Accept() {
  sockaddr_storage peer{};
  socklen_t length = sizeof peer;
  const int fd =
      accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return {};
  const std::string who = Numeric(reinterpret_cast<sockaddr*>(&peer), length, true);
  if (client_ >= 0) {
    close(fd);
    return "refused a second client from " + who + " (one at a time)";
  }
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  client_ = fd;
  return "client connected from " + who;
}

bool TcpLine::ReadClient(std::string& bytes) {
  char buffer[4096];
  for (std::size_t total = 0; client_ >= 0 && total < kReadLimit;) {
    const ssize_t n = recv(client_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
      bytes.append(buffer, static_cast<std::size_t>(n));
      total += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      return true;
    } else {
      DropClient();  // closed by the client, or failed
    }
  }
  return client_ >= 0;
}

std::size_t TcpLine::Write(std::string_view bytes) {
  std::size_t sent = 0;
  while (client_ >= 0 && sent < bytes.size()) {
    const ssize_t n = send(client_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      break;  // the client does not keep up: the rest is lost
    } else {
      DropClient();
    }
  }
  return sent;
}

void TcpLine::DropClient() {
  if (client_ >= 0) close(client_);
  client_ = -1;
}

}  // namespace sim
