#pragma once
// Keeps the main window's receive path from running inside itself. The path
// has three ways in: the port's notification that bytes are waiting, the
// console flush (timer 1) and the replay tick (timer 4). Whatever one of them
// calls that spins an event loop (a message box, say) would otherwise let
// another start half-way through the first and work on its half-done state:
// a held replay line overwritten, a replay closed inside and reopened outside.
//
// While one runs, another that comes along does not run. A port notification
// is remembered, and the port is drained once the running one is done, so no
// byte waits for the next notification; a timer tick is simply dropped, as its
// timer fires again. A message for the user that comes up inside the path is
// kept until the path is idle.

#include <string>
#include <vector>

namespace app {

enum class ReceiveEntry { PortNotification, Flush, ReplayTick };

class ReceiveGuard {
 public:
  // True when `entry` may run now; the caller then calls Leave() when it is
  // done. False while another runs: `entry` is remembered or dropped as above.
  bool Enter(ReceiveEntry entry);
  void Leave();
  bool Busy() const { return busy_; }

  // True, once, when the path is idle and a port notification came while it
  // was busy: the port is to be drained now.
  bool TakeMissedNotification();

  // Keeps `message` until the path is idle.
  void DeferMessage(std::string message);
  bool HasMessages() const { return !messages_.empty(); }
  // The kept messages, oldest first, once the path is idle; nothing while it
  // is busy (they are handed out after it).
  std::vector<std::string> TakeMessages();

 private:
  bool busy_ = false;
  bool missedNotification_ = false;
  std::vector<std::string> messages_;
};

}  // namespace app
