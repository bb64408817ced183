#include "serial/net_source.h"

#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <system_error>
#include <thread>

namespace serial {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxAnswer = 64 * 1024;  // gpsd's answer up to its WATCH object
constexpr std::size_t kFlushLimit = 1 << 20;   // what one Purge discards at most
// Keep-alive: a host that vanished without a word is given up after about
// 10 + 3 * 5 seconds of silence; data that nobody acknowledges, after 30 s.
constexpr int kKeepIdleS = 10;
constexpr int kKeepIntervalS = 5;
constexpr int kKeepCount = 3;
constexpr unsigned kUserTimeoutMs = 30000;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}

std::string Duration(int ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// Errors of a connection that is gone, reported as a tty that hung up
// reports them.
int LostAsEio(int err) {
  switch (err) {
    case ECONNRESET:
    case EPIPE:
    case ENOTCONN:
    case ECONNABORTED:
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
      return EIO;
    default:
      return err;
  }
}

struct AddrInfoDeleter {
  void operator()(addrinfo* a) const {
    if (a != nullptr) freeaddrinfo(a);
  }
};
using AddrInfo = std::unique_ptr<addrinfo, AddrInfoDeleter>;

// One look-up of a host name, shared by the thread that makes it and the
// caller that may stop waiting for it.
struct Lookup {
  std::mutex lock;
  std::condition_variable done;
  bool finished = false;
  int result = 0;
  int error = 0;  // errno for EAI_SYSTEM
  AddrInfo addresses;
};

Status Resolve(const NetAddress& a, Clock::time_point deadline, int timeoutMs, AddrInfo& out,
               std::string& detail) {
  const std::string service = std::to_string(a.port);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(a.host.c_str(), service.c_str(), &hints, &found) == 0) {
    out.reset(found);
    return ERROR_SUCCESS;
  }
  auto lookup = std::make_shared<Lookup>();
  try {
    std::thread([lookup, host = a.host, service] {
      addrinfo h{};
      h.ai_family = AF_UNSPEC;
      h.ai_socktype = SOCK_STREAM;
      h.ai_flags = AI_NUMERICSERV;
      addrinfo* r = nullptr;
      const int code = getaddrinfo(host.c_str(), service.c_str(), &h, &r);
      const int err = errno;
      std::lock_guard guard(lookup->lock);
      lookup->result = code;
      lookup->error = err;
      lookup->addresses.reset(r);
      lookup->finished = true;
      lookup->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    detail = "no thread could be started to look up \"" + a.host + "\"";
    return ERROR_NO_SYSTEM_RESOURCES;
  }
  std::unique_lock guard(lookup->lock);
  if (!lookup->done.wait_until(guard, deadline, [&] { return lookup->finished; })) {
    detail = "looking up \"" + a.host + "\" took longer than " + Duration(timeoutMs);
    return ERROR_TIMEOUT;
  }
  if (lookup->result != 0 || !lookup->addresses) {
    const std::string why =
        lookup->result == EAI_SYSTEM ? std::strerror(lookup->error) : gai_strerror(lookup->result);
    detail = "cannot find host \"" + a.host + "\" (" + why + ")";
    return ERROR_BAD_NETPATH;
  }
  out = std::move(lookup->addresses);
  return ERROR_SUCCESS;
}

// Returns 0 with `fd` connected, or the errno of the failure.
int ConnectOne(const addrinfo& ai, Clock::time_point deadline, int& fd) {
  fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
  if (fd < 0) return errno;
  int err = 0;
  if (::connect(fd, ai.ai_addr, ai.ai_addrlen) != 0) {
    err = errno;
    if (err == EINPROGRESS || err == EINTR) {
      err = 0;
      for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const int n = poll(&p, 1, MsLeft(deadline));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) err = errno;
        if (n == 0) err = ETIMEDOUT;
        break;
      }
      if (err == 0) {
        socklen_t length = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length) != 0) err = errno;
      }
    }
  }
  if (err != 0) {
    close(fd);
    fd = -1;
  }
  return err;
}

std::string ConnectFailure(const NetAddress& a, int err, int timeoutMs) {
  const std::string where = HostAndPort(a);
  switch (err) {
    case ECONNREFUSED:
      return "connection refused by " + where + " (nothing listens there)";
    case ETIMEDOUT:
      return "no answer from " + where + " within " + Duration(timeoutMs);
    case EHOSTUNREACH:
      return where + " cannot be reached (host unreachable)";
    case ENETUNREACH:
      return where + " cannot be reached (network unreachable)";
    default:
      return "connecting to " + where + " failed: " + std::strerror(err);
  }
}

void TuneSocket(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // commands go out at once
  setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleS, sizeof kKeepIdleS);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalS, sizeof kKeepIntervalS);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepCount, sizeof kKeepCount);
  setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUserTimeoutMs, sizeof kUserTimeoutMs);
}

// Waits for `events` on `fd` until the deadline: 1 ready, 0 timed out, -1
// failed.
int AwaitSocket(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = poll(&p, 1, MsLeft(deadline));
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : (n == 0 ? 0 : 1);
  }
}

// Asks gpsd for the raw stream and reads its answer up to the WATCH object,
// consuming exactly that much: the receiver's lines after it stay in the
// socket for the link.
Status WatchGpsd(int fd, const NetAddress& a, Clock::time_point deadline, int timeoutMs,
                 std::string& detail) {
  const std::string where = HostAndPort(a);
  std::string request = "?WATCH={\"enable\":true,\"raw\":1";
  if (!a.device.empty()) request += ",\"device\":\"" + a.device + "\"";
  request += "}\n";
  for (std::size_t sent = 0; sent < request.size();) {
    const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
      if (errno == EAGAIN && AwaitSocket(fd, POLLOUT, deadline) != 1) {
        detail = "gpsd at " + where + " did not take ?WATCH within " + Duration(timeoutMs);
        return ERROR_TIMEOUT;
      }
    } else {
      detail = where + " closed the connection before it was asked for data";
      return ERROR_BAD_NET_RESP;
    }
  }

  std::string line;
  std::size_t total = 0;
  for (;;) {
    const int ready = AwaitSocket(fd, POLLIN, deadline);
    if (ready != 1) {
      detail = "gpsd at " + where + " did not answer ?WATCH within " + Duration(timeoutMs);
      return ERROR_TIMEOUT;
    }
    char peeked[4096];
    const ssize_t got = recv(fd, peeked, sizeof peeked, MSG_PEEK);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) {
      detail = where + " closed the connection without answering as gpsd does";
      return ERROR_BAD_NET_RESP;
    }
    const auto* newline = static_cast<const char*>(std::memchr(peeked, '\n', static_cast<std::size_t>(got)));
    const std::size_t wanted =
        newline != nullptr ? static_cast<std::size_t>(newline - peeked) + 1 : static_cast<std::size_t>(got);
    const ssize_t taken = recv(fd, peeked, wanted, 0);
    if (taken <= 0) continue;  // as peeked, so not expected; looked at again
    line.append(peeked, static_cast<std::size_t>(taken));
    total += static_cast<std::size_t>(taken);
    if (total > kMaxAnswer) {
      detail = where + " sent more than 64 KiB without answering ?WATCH";
      return ERROR_BAD_NET_RESP;
    }
    if (static_cast<std::size_t>(taken) != wanted || newline == nullptr) continue;

    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty()) continue;
    if (line.front() != '{') {
      detail = where + " does not answer as gpsd does (it sent \"" + QuotedText(line, 40) + "\")";
      return ERROR_BAD_NET_RESP;
    }
    if (JsonClassIs(line, "WATCH")) return ERROR_SUCCESS;
    if (JsonClassIs(line, "ERROR")) {
      const std::string message = JsonStringMember(line, "message");
      detail = "gpsd: " + (message.empty() ? std::string("error") : message);
      return message.find("No such device") != std::string::npos ? ERROR_DEV_NOT_EXIST : ERROR_BAD_NET_RESP;
    }
    line.clear();  // VERSION, DEVICES, DEVICE: read on
  }
}

}  // namespace

Status NetSource::Connect(const NetAddress& address, int timeoutMs, std::unique_ptr<NetSource>& out,
                          std::string& detail) {
  out.reset();
  detail.clear();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  AddrInfo addresses;
  if (const Status s = Resolve(address, deadline, timeoutMs, addresses, detail)) return s;

  int fd = -1;
  int err = ENETUNREACH;
  for (const addrinfo* ai = addresses.get(); ai != nullptr; ai = ai->ai_next) {
    err = ConnectOne(*ai, deadline, fd);
    if (err == 0 || MsLeft(deadline) == 0) break;
  }
  if (fd < 0) {
    detail = ConnectFailure(address, err, timeoutMs);
    return StatusFromErrno(err);
  }
  TuneSocket(fd);
  if (address.scheme == NetScheme::Gpsd) {
    if (const Status s = WatchGpsd(fd, address, deadline, timeoutMs, detail)) {
      close(fd);
      return s;
    }
  }
  out.reset(new NetSource(address, fd));
  return ERROR_SUCCESS;
}

NetSource::NetSource(NetAddress address, int socket)
    : address(std::move(address)), socket(socket), gpsd(this->address.device) {
  settings.baud = 9600;
}

NetSource::~NetSource() {
  if (socket >= 0) close(socket);
}

int NetSource::OpenDevice(const char*, int& fd) {
  fd = -1;
  return EOPNOTSUPP;  // the link connects through Connect
}

int NetSource::CloseDevice(int fd) {
  if (fd != socket || socket < 0) return EBADF;
  socket = -1;
  return close(fd) == 0 ? 0 : errno;
}

int NetSource::GetLine(int, LineSettings& line) {
  std::lock_guard guard(settingsLock);
  line = settings;
  return 0;
}

int NetSource::SetLine(int, const LineSettings& line) {
  std::lock_guard guard(settingsLock);
  settings = line;
  return 0;
}

int NetSource::GetModemLines(int, int& lines) {
  lines = 0;
  return ENOTTY;
}

int NetSource::GetCounters(int, LineCounters& counters) {
  counters = LineCounters{};
  return ENOTTY;
}

int NetSource::Flush(int fd) {
  unsigned char scratch[4096];
  for (std::size_t discarded = 0; discarded < kFlushLimit;) {
    std::size_t consumed = 0;
    const long n = Receive(fd, scratch, sizeof scratch, consumed);
    discarded += consumed;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || consumed == 0) break;
  }
  return 0;
}

int NetSource::GetOutputQueue(int fd, std::uint32_t& bytes) {
  int queued = 0;
  bytes = 0;
  if (ioctl(fd, SIOCOUTQ, &queued) != 0) return errno;
  bytes = queued > 0 ? static_cast<std::uint32_t>(queued) : 0;
  return 0;
}

// For gpsd the count holds gpsd's own lines too; Receive says how much of it
// each read took, so the link keeps count all the same.
int NetSource::GetInputQueue(int fd, std::uint32_t& bytes) {
  bytes = 0;
  int queued = 0;
  if (ioctl(fd, SIOCINQ, &queued) != 0) return errno;
  bytes = queued > 0 ? static_cast<std::uint32_t>(queued) : 0;
  return 0;
}

long NetSource::Receive(int fd, void* buffer, std::size_t length, std::size_t& consumed) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  consumed = 0;
  for (;;) {
    const ssize_t n = recv(fd, bytes, length, MSG_DONTWAIT);
    if (n < 0) {
      errno = LostAsEio(errno);
      return -1;
    }
    consumed += static_cast<std::size_t>(n);
    if (n == 0 || address.scheme == NetScheme::Tcp) return n;
    const bool goneBefore = gpsd.DeviceGone();
    const std::size_t kept = gpsd.Filter(bytes, static_cast<std::size_t>(n));
    // The watched device left gpsd: the source hangs up as an unplugged
    // device does. The shutdown wakes the link's wait on the socket.
    if (!goneBefore && gpsd.DeviceGone()) shutdown(fd, SHUT_RDWR);
    if (kept != 0) return static_cast<long>(kept);
  }
}

long NetSource::Send(int fd, const void* data, std::size_t length) {
  const ssize_t n = send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
  if (n < 0) errno = LostAsEio(errno);
  return n;
}

}  // namespace serial
