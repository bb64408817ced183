#pragma once
// The serial link's guard against sharing a device: while a port is opened
// it looks for another holder (holders.h); once it is open it places this
// process's UUCP lock file, so that other programs that honour such locks
// stay away too, and removes it again before the port is closed.
//
// One guard serves the whole process (ProcessPortGuard); tests put one of
// their own in its place, with made-up facts or lock folders of their own.
// Every member may be called from any thread.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/holders.h"
#include "ports/lock_file.h"
#include "ports/system_facts.h"

namespace ports {

class PortGuard {
 public:
  explicit PortGuard(SystemFacts& facts, HolderSearch search = {DefaultLockFolders()});
  PortGuard(const PortGuard&) = delete;
  PortGuard& operator=(const PortGuard&) = delete;

  // Starts an attempt to open `portName` ("COM3", or a path): it has no
  // holder to name yet.
  void Forget(std::string_view portName);
  // While `portName` is opened as `devicePath`: the holder that forbids
  // opening it, if any. The outcome is kept for LastHolder.
  std::optional<Holder> CheckHolder(std::string_view portName, const std::string& devicePath);
  // After the device was opened as descriptor `fd`: places the lock file
  // where a lock folder takes it. Returns the holder of a lock that another
  // running process placed in the meantime; the caller then closes the port
  // again. The outcome is kept for LastHolder.
  std::optional<Holder> Claim(std::string_view portName, const std::string& devicePath, int fd);
  // Before descriptor `fd` is closed: removes the lock placed for it, if it
  // still names this process.
  void Release(int fd);
  // The holder that refused the latest attempt to open `portName`; nothing
  // when that attempt was not refused by one.
  std::optional<Holder> LastHolder(std::string_view portName) const;

 private:
  void Remember(std::string_view portName, const std::optional<Holder>& holder);

  SystemFacts& facts_;
  const HolderSearch search_;
  mutable std::mutex lock_;
  std::map<std::string, Holder, std::less<>> refused_;  // by port name
  std::map<int, std::string> ownLocks_;                 // lock file by descriptor
};

// The guard the serial link uses: on the real system with the default lock
// folders unless a test has put another in its place.
PortGuard& ProcessPortGuard();
// Puts `guard` in place (nullptr: the default again); returns the previous
// one. Only while no port is open.
PortGuard* SetProcessPortGuard(PortGuard* guard);

}  // namespace ports
