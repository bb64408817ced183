#include "ports/system_facts.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace ports {
namespace {

// A decimal number of at most nine digits, the whole of `text`; -1 otherwise.
int DecimalOf(std::string_view text) {
  if (text.empty() || text.size() > 9) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string ProcPath(int pid, const char* leaf) { return "/proc/" + std::to_string(pid) + "/" + leaf; }

std::string FdPath(int pid, const char* folder, int fd) {
  return "/proc/" + std::to_string(pid) + "/" + folder + "/" + std::to_string(fd);
}

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.dev = st.st_dev;
  id.rdev = st.st_rdev;
  id.charDevice = S_ISCHR(st.st_mode);
  return id;
}

// Numeric entries of a folder, at most `limit`. False when it cannot be read.
bool NumericEntries(const std::string& folder, std::size_t limit, std::vector<int>& numbers) {
  numbers.clear();
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (numbers.size() < limit) {
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    const int n = DecimalOf(entry->d_name);
    if (n >= 0) numbers.push_back(n);
  }
  closedir(dir);
  return true;
}

// Reads what a procfs file holds, up to `limit` bytes.
bool ReadProcFile(const std::string& path, std::size_t limit, std::string& text) {
  text.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[512];
  while (text.size() < limit) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  if (text.size() > limit) text.resize(limit);
  return true;
}

}  // namespace

int ProcSystemFacts::OwnPid() { return static_cast<int>(getpid()); }

std::vector<int> ProcSystemFacts::ProcessIds(std::size_t limit) {
  std::vector<int> pids;
  NumericEntries("/proc", limit, pids);
  return pids;
}

bool ProcSystemFacts::Descriptors(int pid, std::size_t limit, std::vector<int>& fds) {
  return NumericEntries(ProcPath(pid, "fd"), limit, fds);
}

bool ProcSystemFacts::DeviceOf(int pid, int fd, FileIdentity& id) {
  const std::string link = FdPath(pid, "fd", fd);
  char target[PATH_MAX];
  const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
  if (n < 5 || std::string_view(target, 5) != "/dev/") return false;
  struct stat st {};
  if (stat(link.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  id = IdentityOf(st);
  return true;
}

int ProcSystemFacts::PtyMasterIndex(int pid, int fd) {
  std::string info;
  if (!ReadProcFile(FdPath(pid, "fdinfo", fd), 4096, info)) return -1;
  constexpr std::string_view kKey = "tty-index:";
  for (std::size_t at = 0; at < info.size();) {
    std::size_t end = info.find('\n', at);
    if (end == std::string::npos) end = info.size();
    std::string_view line(info.data() + at, end - at);
    if (line.substr(0, kKey.size()) == kKey) {
      line.remove_prefix(kKey.size());
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
      return DecimalOf(line);
    }
    at = end + 1;
  }
  return -1;
}

std::string ProcSystemFacts::ProcessName(int pid) {
  std::string name;
  if (!ReadProcFile(ProcPath(pid, "comm"), 64, name)) return {};
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

bool ProcSystemFacts::ProcessAlive(int pid) { return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM); }

bool ProcSystemFacts::Identity(const std::string& path, FileIdentity& id) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  id = IdentityOf(st);
  return true;
}

std::string ProcSystemFacts::RealPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string result(resolved);
  std::free(resolved);
  return result;
}

int ProcSystemFacts::ReadSmallFile(const std::string& path, std::size_t limit, std::string& content) {
  content.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  int err = 0;
  if (fstat(fd, &st) != 0) {
    err = errno;
  } else if (!S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > limit) {
    err = EINVAL;
  } else {
    char buffer[256];
    while (content.size() < limit) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) err = errno;
      if (n <= 0) break;
      content.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  if (content.size() > limit) err = EINVAL;
  return err;
}

int ProcSystemFacts::CreateFileOnce(const std::string& path, std::string_view content) {
  static std::atomic<unsigned> serial{0};
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string temporary =
      folder + "/LTMP." + std::to_string(getpid()) + "." + std::to_string(serial.fetch_add(1));
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  int err = 0;
  // Readable by everyone whatever the umask, so that others can tell who holds the port.
  if (fchmod(fd, 0644) != 0) err = errno;
  for (std::size_t done = 0; err == 0 && done < content.size();) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && link(temporary.c_str(), path.c_str()) != 0) err = errno;
  unlink(temporary.c_str());
  return err;
}

int ProcSystemFacts::RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

SystemFacts& RealSystemFacts() {
  static ProcSystemFacts facts;
  return facts;
}

}  // namespace ports
