#include "ports/holders.h"

#include <sys/sysmacros.h>

#include "ports/lock_file.h"

namespace ports {
namespace {

// Pseudo-terminal slaves (/dev/pts/N) are major 136, minor N; every master is
// opened through the multiplexer, major 5, minor 2 (/dev/ptmx, /dev/pts/ptmx).
constexpr unsigned kPtySlaveMajor = 136;
constexpr unsigned kPtmxMajor = 5;
constexpr unsigned kPtmxMinor = 2;

// The number of the pseudo-terminal `device` is the slave of, or -1.
int PtyIndexOf(const FileIdentity& device) {
  if (!device.charDevice || major(device.rdev) != kPtySlaveMajor) return -1;
  return static_cast<int>(minor(device.rdev));
}

bool IsPtmx(const FileIdentity& id) {
  return id.charDevice && major(id.rdev) == kPtmxMajor && minor(id.rdev) == kPtmxMinor;
}

// Whether descriptor `fd` of the scanned process is open on `device`. The
// slaves of different devpts instances (containers) share numbers, so for
// them the file system must match as well.
bool SameDevice(const FileIdentity& device, const FileIdentity& open, bool pty) {
  return open.charDevice && open.rdev == device.rdev && (!pty || open.dev == device.dev);
}

}  // namespace

std::optional<Holder> FindOpenFileHolder(const FileIdentity& device, SystemFacts& facts,
                                         const HolderSearch& search) {
  if (!device.charDevice) return std::nullopt;
  const int own = facts.OwnPid();
  const int ptyIndex = PtyIndexOf(device);
  std::vector<int> fds;
  for (const int pid : facts.ProcessIds(search.maxProcesses)) {
    if (pid == own || pid <= 0 || !facts.Descriptors(pid, search.maxDescriptors, fds)) continue;
    bool holdsDevice = false, holdsMaster = false;
    for (const int fd : fds) {
      FileIdentity open;
      if (!facts.DeviceOf(pid, fd, open)) continue;
      if (SameDevice(device, open, ptyIndex >= 0)) holdsDevice = true;
      if (ptyIndex >= 0 && IsPtmx(open) && facts.PtyMasterIndex(pid, fd) == ptyIndex) holdsMaster = true;
    }
    if (holdsDevice && !holdsMaster) return Holder{pid, facts.ProcessName(pid), HeldVia::OpenFile};
  }
  return std::nullopt;
}

std::optional<Holder> FindHolder(const std::string& devicePath, SystemFacts& facts,
                                 const HolderSearch& search) {
  FileIdentity device;
  if (!facts.Identity(devicePath, device) || !device.charDevice) return std::nullopt;

  // A lock may have been taken under the name the other program was given
  // (a link such as /dev/serial/by-id/...) or under the device's own.
  std::vector<std::string> names{LockFileName(devicePath)};
  const std::string real = facts.RealPath(devicePath);
  if (!real.empty() && LockFileName(real) != names.front()) names.push_back(LockFileName(real));
  for (const std::string& folder : LockFolders(facts, search.lockFolders)) {
    for (const std::string& name : names) {
      const LockReading lock = ReadLock(facts, folder + "/" + name);
      if (lock.state == LockState::Taken)
        return Holder{lock.pid, facts.ProcessName(lock.pid), HeldVia::LockFile};
    }
  }
  return FindOpenFileHolder(device, facts, search);
}

std::string DescribeHolder(const Holder& holder) {
  std::string name;
  for (const char c : holder.name) {
    const auto u = static_cast<unsigned char>(c);
    name += (u < 0x20 || u == 0x7f || c == '<' || c == '>' || c == '&') ? '?' : c;
  }
  if (name.empty()) name = "another program";
  return "held by " + name + ", pid " + std::to_string(holder.pid);
}

}  // namespace ports
