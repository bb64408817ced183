#include "serial/serial_event.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <vector>

namespace serial {

Status CreateSerialEvent(SerialEvent& event) {
  event = SerialEvent{};
  const int flag = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (flag < 0) return StatusFromErrno(errno);
  const int wait = epoll_create1(EPOLL_CLOEXEC);
  if (wait < 0) {
    const int err = errno;
    close(flag);
    return StatusFromErrno(err);
  }
  epoll_event ev{};
  ev.events = EPOLLIN;  // level-triggered: signalled for as long as the flag is up
  ev.data.u32 = kEventFlagTag;
  if (epoll_ctl(wait, EPOLL_CTL_ADD, flag, &ev) != 0) {
    const int err = errno;
    close(wait);
    close(flag);
    return StatusFromErrno(err);
  }
  event.waitFd = wait;
  event.flagFd = flag;
  return ERROR_SUCCESS;
}

void CloseSerialEvent(SerialEvent& event) {
  if (event.waitFd >= 0) close(event.waitFd);
  if (event.flagFd >= 0) close(event.flagFd);
  event = SerialEvent{};
}

Status SetSerialEvent(const SerialEvent& event) {
  if (!event) return ERROR_INVALID_HANDLE;
  const std::uint64_t one = 1;
  for (;;) {
    if (write(event.flagFd, &one, sizeof one) == static_cast<ssize_t>(sizeof one)) return ERROR_SUCCESS;
    if (errno == EINTR) continue;
    // EAGAIN: the counter is already at its ceiling, so the event is up.
    return errno == EAGAIN ? ERROR_SUCCESS : StatusFromErrno(errno);
  }
}

Status ResetSerialEvent(const SerialEvent& event) {
  if (!event) return ERROR_INVALID_HANDLE;
  std::uint64_t count = 0;
  for (;;) {
    if (read(event.flagFd, &count, sizeof count) == static_cast<ssize_t>(sizeof count)) return ERROR_SUCCESS;
    if (errno == EINTR) continue;
    return errno == EAGAIN ? ERROR_SUCCESS : StatusFromErrno(errno);  // EAGAIN: already down
  }
}

bool IsSerialEventSignalled(const SerialEvent& event) {
  if (!event) return false;
  pollfd p{event.waitFd, POLLIN, 0};
  return poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

std::int64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::int64_t DeadlineAfter(std::uint32_t timeoutMs) {
  if (timeoutMs == kInfinite) return -1;
  return MonotonicMs() + timeoutMs;
}

int RemainingMs(std::int64_t deadlineMs) {
  if (deadlineMs < 0) return -1;
  const std::int64_t left = deadlineMs - MonotonicMs();
  if (left <= 0) return 0;
  return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

int WaitForSerialEvents(std::span<const SerialEvent> events, std::uint32_t timeoutMs) {
  std::vector<pollfd> fds;
  fds.reserve(events.size());
  for (const SerialEvent& e : events) {
    if (!e) return kWaitFailed;
    fds.push_back(pollfd{e.waitFd, POLLIN, 0});
  }
  const std::int64_t deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    for (pollfd& p : fds) p.revents = 0;
    const int n = poll(fds.data(), fds.size(), RemainingMs(deadline));
    if (n < 0) {
      if (errno == EINTR) continue;
      return kWaitFailed;
    }
    if (n == 0) return kWaitTimedOut;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].revents & POLLIN) return static_cast<int>(i);
      if (fds[i].revents & (POLLERR | POLLNVAL)) return kWaitFailed;
    }
  }
}

}  // namespace serial
