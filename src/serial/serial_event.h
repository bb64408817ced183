#pragma once
// Manual-reset events for the serial link, and waiting on several of them.
//
// An event is an epoll instance (the descriptor a waiter polls) holding an
// eventfd (the flag that SetSerialEvent raises and ResetSerialEvent lowers).
// The event reads as signalled while its epoll instance is readable, that is
// from SetSerialEvent until ResetSerialEvent. The port's completion engine
// keeps the port itself in its own wake-up event as well, edge-triggered
// (tagged kEventPortTag), so that one wait covers both; a completion record's
// event holds only its flag.

#include <cstdint>
#include <span>

#include "serial/serial_status.h"

namespace serial {

struct SerialEvent {
  int waitFd = -1;  // poll for POLLIN; readable while signalled
  int flagFd = -1;  // the eventfd behind SetSerialEvent / ResetSerialEvent

  explicit operator bool() const { return waitFd >= 0; }
  friend bool operator==(const SerialEvent&, const SerialEvent&) = default;
};

// epoll tags that tell the flag from a port inside an event's instance.
inline constexpr std::uint32_t kEventFlagTag = 0;
inline constexpr std::uint32_t kEventPortTag = 1;

// Creates a non-signalled event. On failure `event` stays empty.
Status CreateSerialEvent(SerialEvent& event);
// Closes both descriptors and empties the handle; harmless on an empty one.
void CloseSerialEvent(SerialEvent& event);
Status SetSerialEvent(const SerialEvent& event);
Status ResetSerialEvent(const SerialEvent& event);
bool IsSerialEventSignalled(const SerialEvent& event);

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr int kWaitTimedOut = -1;
inline constexpr int kWaitFailed = -2;

// Waits until one of `events` is signalled and returns its index; when several
// are, the lowest index wins. Returns kWaitTimedOut after `timeoutMs`
// (kInfinite: no limit) and kWaitFailed when the wait itself fails (an empty
// event in the list, or poll() failing). Does not reset anything.
int WaitForSerialEvents(std::span<const SerialEvent> events, std::uint32_t timeoutMs);

// Milliseconds left until a deadline in CLOCK_MONOTONIC milliseconds, in the
// form epoll_wait()/poll() take: -1 for no deadline, never negative otherwise.
std::int64_t MonotonicMs();
int RemainingMs(std::int64_t deadlineMs);             // deadlineMs < 0: no deadline
std::int64_t DeadlineAfter(std::uint32_t timeoutMs);  // -1 for kInfinite

}  // namespace serial
