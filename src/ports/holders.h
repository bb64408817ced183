#pragma once
// Who else holds a device. Two readers of one serial device split its bytes
// between them, each getting what the other did not read, so a port that
// another program has open must not be opened a second time. flock() and
// TIOCEXCL stop only programs that lock too; a plain `cat /dev/ttyUSB0` or a
// logger is found here instead:
//
// - a UUCP lock file of a running process (lock_file.h), under the name of
//   the path as given or of the device it leads to;
// - a process with a descriptor on the same device (/proc/<pid>/fd). A normal
//   user can list only its own processes' descriptors; the others are
//   skipped, as is everything else that cannot be read.
//
// Never a holder: this process itself (within it, flock already refuses a
// second open), and, for a pseudo-terminal, a process that holds its master:
// that is the line's other end (a simulator or socat keeps the slave open
// too, so that the line stays up between opens), not a second reader.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ports/system_facts.h"

namespace ports {

enum class HeldVia { OpenFile, LockFile };

struct Holder {
  int pid = 0;
  std::string name;  // command name, empty when it could not be read
  HeldVia via = HeldVia::OpenFile;

  friend bool operator==(const Holder&, const Holder&) = default;
};

struct HolderSearch {
  std::vector<std::string> lockFolders;  // see DefaultLockFolders()
  // Bounds of the /proc scan: processes looked at, descriptors per process.
  std::size_t maxProcesses = 16384;
  std::size_t maxDescriptors = 16384;
};

// A process other than this one with a descriptor open on `device` (which
// must be a character device) that is not the master end of it.
std::optional<Holder> FindOpenFileHolder(const FileIdentity& device, SystemFacts& facts,
                                         const HolderSearch& search);

// The holder of the device at `devicePath`: first by lock file, then by open
// descriptor. Nothing for a path that is not a character device.
std::optional<Holder> FindHolder(const std::string& devicePath, SystemFacts& facts,
                                 const HolderSearch& search);

// "held by minicom, pid 4711". Characters that do not belong in a line of
// text are shown as '?': the command name is the holder's own choice.
std::string DescribeHolder(const Holder& holder);

}  // namespace ports
