#pragma once
// What the port checks need to know from the system: the running processes
// and the files they hold open (/proc), the device nodes (stat), and the lock
// files of the UUCP convention. Behind one interface so that every decision
// is a plain function tested on made-up facts; ProcSystemFacts is the real
// thing.
//
// Nothing here fails loudly: what cannot be read (a process of another user,
// a process that ended meanwhile, a file that vanished) is reported as
// unreadable and the caller skips it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ports {

// What stat() says about a file that matters for telling devices apart.
struct FileIdentity {
  std::uint64_t dev = 0;   // the file system the node lives on
  std::uint64_t rdev = 0;  // the device, for a device node
  bool charDevice = false;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;

  virtual int OwnPid() = 0;
  // Ids of the running processes, at most `limit`, in no particular order.
  virtual std::vector<int> ProcessIds(std::size_t limit) = 0;
  // The descriptor numbers of `pid`, at most `limit`. False when they cannot
  // be listed: a process of another user, or one that has ended.
  virtual bool Descriptors(int pid, std::size_t limit, std::vector<int>& fds) = 0;
  // The device node that descriptor `fd` of `pid` is open on. False for a
  // descriptor on anything else (file, pipe, socket) and for one that cannot
  // be read.
  virtual bool DeviceOf(int pid, int fd, FileIdentity& id) = 0;
  // For a descriptor on the pseudo-terminal multiplexer (/dev/ptmx): the
  // number of the pseudo-terminal whose master it is ("tty-index" of its
  // fdinfo). -1 for any other descriptor or when it cannot be read.
  virtual int PtyMasterIndex(int pid, int fd) = 0;
  // The process's command name (/proc/<pid>/comm) without the line end;
  // empty when it cannot be read.
  virtual std::string ProcessName(int pid) = 0;
  // True while the process exists, also when this process may not signal it.
  virtual bool ProcessAlive(int pid) = 0;

  // stat() of a path, links followed. False when it does not exist.
  virtual bool Identity(const std::string& path, FileIdentity& id) = 0;
  // The path with every link resolved; empty when that fails.
  virtual std::string RealPath(const std::string& path) = 0;
  // Reads a regular file of at most `limit` bytes whole. 0 or the errno.
  virtual int ReadSmallFile(const std::string& path, std::size_t limit, std::string& content) = 0;
  // Creates `path` holding `content` in one step: readers never see it half
  // written, and an existing file is never replaced (EEXIST). 0 or the errno.
  virtual int CreateFileOnce(const std::string& path, std::string_view content) = 0;
  virtual int RemoveFile(const std::string& path) = 0;
};

// The real system. Descriptors count as device nodes only when their link
// in /proc/<pid>/fd names a path under /dev/; nothing else is stat()ed, so a
// file on a network share that stopped answering cannot stall the scan.
class ProcSystemFacts : public SystemFacts {
 public:
  int OwnPid() override;
  std::vector<int> ProcessIds(std::size_t limit) override;
  bool Descriptors(int pid, std::size_t limit, std::vector<int>& fds) override;
  bool DeviceOf(int pid, int fd, FileIdentity& id) override;
  int PtyMasterIndex(int pid, int fd) override;
  std::string ProcessName(int pid) override;
  bool ProcessAlive(int pid) override;
  bool Identity(const std::string& path, FileIdentity& id) override;
  std::string RealPath(const std::string& path) override;
  // Refuses (ELOOP, EINVAL) links and anything but a regular file, and never
  // waits on a FIFO someone planted under the name.
  int ReadSmallFile(const std::string& path, std::size_t limit, std::string& content) override;
  // Writes a temporary file in the same folder and link()s it into place.
  int CreateFileOnce(const std::string& path, std::string_view content) override;
  int RemoveFile(const std::string& path) override;
};

SystemFacts& RealSystemFacts();

}  // namespace ports
