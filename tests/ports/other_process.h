#pragma once
// Other processes for the port tests to meet: a forked child that holds a
// pseudo-terminal (or nothing), and a lock folder of the test's own in place
// of the system's for as long as a test runs.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "ports/port_guard.h"

namespace ports_test {

// A forked process that holds what it is given and waits until the test lets
// it go. It keeps no descriptor of the test's except its two pipe ends, and
// calls itself "minicom".
class OtherProcess {
 public:
  enum Holds { Nothing, Slave, LockedSlave, MasterAndSlave };

  // `slavePath` is opened in the child; with MasterAndSlave the child keeps
  // `master` (the test's copy is closed by the caller) as well.
  OtherProcess(Holds holds, const std::string& slavePath = {}, int master = -1) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_NAME, "minicom", 0, 0, 0);
      for (int fd = 3; fd < 1024; ++fd) {
        if (fd != ready[1] && fd != release[0] && !(holds == MasterAndSlave && fd == master)) close(fd);
      }
      const int fd = holds != Nothing ? open(slavePath.c_str(), O_RDWR | O_NOCTTY) : -1;
      if (holds != Nothing && fd < 0) _exit(1);
      if (holds == LockedSlave && flock(fd, LOCK_EX | LOCK_NB) != 0) _exit(1);
      char c = 1;
      if (write(ready[1], &c, 1) != 1) _exit(1);
      while (read(release[0], &c, 1) < 0 && errno == EINTR) {
      }
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char c = 0;
    ok_ = pid_ > 0 && read(ready[0], &c, 1) == 1;
    close(ready[0]);
  }
  ~OtherProcess() { End(); }
  bool Ok() const { return ok_; }
  int Pid() const { return pid_; }
  // Lets the child end and waits until it has.
  void End() {
    if (release_ >= 0) close(release_);
    release_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool ok_ = false;
};

// Puts a guard with its own lock folder (a new temporary one, or `folder`) in
// place of the process's for the scope's lifetime.
class ScopedLockFolder {
 public:
  explicit ScopedLockFolder(std::string folder = {}) : folder_(std::move(folder)) {
    if (folder_.empty()) {
      char pattern[] = "/tmp/gpsdesk-locks-XXXXXX";
      if (mkdtemp(pattern) == nullptr) std::abort();
      folder_ = pattern;
      owned_ = true;
    }
    guard_ = std::make_unique<ports::PortGuard>(ports::RealSystemFacts(), ports::HolderSearch{{folder_}});
    previous_ = ports::SetProcessPortGuard(guard_.get());
  }
  ~ScopedLockFolder() {
    ports::SetProcessPortGuard(previous_);
    if (owned_) std::filesystem::remove_all(folder_);
  }
  ScopedLockFolder(const ScopedLockFolder&) = delete;
  ScopedLockFolder& operator=(const ScopedLockFolder&) = delete;
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  bool owned_ = false;
  std::unique_ptr<ports::PortGuard> guard_;
  ports::PortGuard* previous_ = nullptr;
};

}  // namespace ports_test
