#include "ports/port_guard.h"

#include <atomic>

#include "ports/lock_file.h"

namespace ports {

PortGuard::PortGuard(SystemFacts& facts, HolderSearch search) : facts_(facts), search_(std::move(search)) {}

void PortGuard::Remember(std::string_view portName, const std::optional<Holder>& holder) {
  std::lock_guard guard(lock_);
  const auto it = refused_.find(portName);
  if (holder) {
    if (it != refused_.end()) {
      it->second = *holder;
    } else {
      refused_.emplace(std::string(portName), *holder);
    }
  } else if (it != refused_.end()) {
    refused_.erase(it);
  }
}

void PortGuard::Forget(std::string_view portName) { Remember(portName, std::nullopt); }

std::optional<Holder> PortGuard::CheckHolder(std::string_view portName, const std::string& devicePath) {
  const std::optional<Holder> holder = FindHolder(devicePath, facts_, search_);
  Remember(portName, holder);
  return holder;
}

std::optional<Holder> PortGuard::Claim(std::string_view portName, const std::string& devicePath, int fd) {
  // Named after the device itself, so that every name of it meets one lock.
  std::string device = facts_.RealPath(devicePath);
  if (device.empty()) device = devicePath;
  std::string lockPath;
  const LockReading there = PlaceOwnLock(facts_, LockFolders(facts_, search_.lockFolders), device, lockPath);
  if (there.state == LockState::Taken) {
    const Holder holder{there.pid, facts_.ProcessName(there.pid), HeldVia::LockFile};
    Remember(portName, holder);
    return holder;
  }
  if (!lockPath.empty()) {
    std::lock_guard guard(lock_);
    ownLocks_[fd] = lockPath;
  }
  return std::nullopt;
}

void PortGuard::Release(int fd) {
  std::string lockPath;
  {
    std::lock_guard guard(lock_);
    const auto it = ownLocks_.find(fd);
    if (it == ownLocks_.end()) return;
    lockPath = std::move(it->second);
    ownLocks_.erase(it);
  }
  RemoveOwnLock(facts_, lockPath);
}

std::optional<Holder> PortGuard::LastHolder(std::string_view portName) const {
  std::lock_guard guard(lock_);
  const auto it = refused_.find(portName);
  if (it == refused_.end()) return std::nullopt;
  return it->second;
}

namespace {
std::atomic<PortGuard*> replacement{nullptr};
}  // namespace

PortGuard& ProcessPortGuard() {
  if (PortGuard* guard = replacement.load()) return *guard;
  static PortGuard guard(RealSystemFacts());
  return guard;
}

PortGuard* SetProcessPortGuard(PortGuard* guard) { return replacement.exchange(guard); }

}  // namespace ports
