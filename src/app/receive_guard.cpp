#include "app/receive_guard.h"

#include <utility>

namespace app {

bool ReceiveGuard::Enter(ReceiveEntry entry) {
  if (!busy_) {
    busy_ = true;
    return true;
  }
  if (entry == ReceiveEntry::PortNotification) missedNotification_ = true;
  return false;
}

void ReceiveGuard::Leave() { busy_ = false; }

bool ReceiveGuard::TakeMissedNotification() {
  if (busy_ || !missedNotification_) return false;
  missedNotification_ = false;
  return true;
}

void ReceiveGuard::DeferMessage(std::string message) { messages_.push_back(std::move(message)); }

std::vector<std::string> ReceiveGuard::TakeMessages() {
  if (busy_) return {};
  return std::exchange(messages_, {});
}

}  // namespace app
