#pragma once
// UUCP (HDB) lock files: the convention by which programs that open serial
// devices tell each other "this one is mine". A lock for /dev/ttyUSB0 is the
// file LCK..ttyUSB0 in the lock folder (/var/lock, on current systems a link
// to /run/lock), holding the owner's process id as ten right-aligned decimal
// digits and a line end ("      4711\n").
//
// A lock whose process still runs means the device is taken; one whose
// process has ended is stale and means nothing. Locks are advisory: they only
// keep out programs that look for them.

#include <string>
#include <string_view>
#include <vector>

#include "ports/system_facts.h"

namespace ports {

// The folders looked in, in order: /var/lock, then /run/lock.
std::vector<std::string> DefaultLockFolders();

// "LCK.." + the path without a leading "/dev/", every further '/' turned into
// '_': /dev/ttyUSB0 -> LCK..ttyUSB0, /dev/pts/3 -> LCK..pts_3,
// /tmp/a/b -> LCK.._tmp_a_b.
std::string LockFileName(std::string_view devicePath);

// The lock's content for `pid`.
std::string LockFileContent(int pid);

// The process id a lock names: its first line, decimal digits with blanks
// around them. Later lines are ignored, so the longer locks some toolkits
// write (pid, program, host, ...) count too. 0 for anything else, a pid of 0
// and one that does not fit an int included.
int LockFilePid(std::string_view content);

// The given folders that exist, each once: two names of one folder (/var/lock
// and /run/lock) count as one.
std::vector<std::string> LockFolders(SystemFacts& facts, const std::vector<std::string>& folders);

enum class LockState {
  Free,     // no lock file
  Ours,     // names this process
  Stale,    // names a process that has ended
  Taken,    // names another process that runs
  Unknown,  // unreadable, or not in the convention's form
};

struct LockReading {
  LockState state = LockState::Free;
  int pid = 0;  // the pid the lock names, when it names one
};

LockReading ReadLock(SystemFacts& facts, const std::string& lockPath);

// Places this process's lock for `devicePath` (its links already resolved) in
// the first of `folders` that takes it, replacing a stale lock, and sets
// `lockPath` to it; a lock of ours already there is adopted. Returns the
// reading of a lock of another running process that stands in the way
// (state Taken), and state Free otherwise, also when no folder takes a lock
// (then `lockPath` stays empty and the port goes without one).
LockReading PlaceOwnLock(SystemFacts& facts, const std::vector<std::string>& folders,
                         std::string_view devicePath, std::string& lockPath);

// Removes the lock at `lockPath` if it still names this process.
void RemoveOwnLock(SystemFacts& facts, const std::string& lockPath);

}  // namespace ports
