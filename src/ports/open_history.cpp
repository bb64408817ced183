#include "ports/open_history.h"

#include <map>
#include <mutex>
#include <string>

namespace ports {
namespace {

struct History {
  std::mutex lock;
  std::map<std::string, RememberedDevice, std::less<>> byPortName;
};

History& TheHistory() {
  static History history;
  return history;
}

}  // namespace

void RememberGoodOpen(std::string_view portName, const std::optional<RememberedDevice>& device) {
  History& history = TheHistory();
  std::lock_guard guard(history.lock);
  if (device) {
    history.byPortName.insert_or_assign(std::string(portName), *device);
  } else if (const auto it = history.byPortName.find(portName); it != history.byPortName.end()) {
    history.byPortName.erase(it);
  }
}

std::optional<RememberedDevice> LastGoodOpen(std::string_view portName) {
  History& history = TheHistory();
  std::lock_guard guard(history.lock);
  const auto it = history.byPortName.find(portName);
  if (it == history.byPortName.end()) return std::nullopt;
  return it->second;
}

void ForgetGoodOpens() {
  History& history = TheHistory();
  std::lock_guard guard(history.lock);
  history.byPortName.clear();
}

}  // namespace ports
