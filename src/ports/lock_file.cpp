#include "ports/lock_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

namespace ports {
namespace {

// Lock files are eleven bytes; anything much longer is not one.
constexpr std::size_t kLockFileLimit = 128;

bool Blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> DefaultLockFolders() { return {"/var/lock", "/run/lock"}; }

std::string LockFileName(std::string_view devicePath) {
  constexpr std::string_view kDev = "/dev/";
  if (devicePath.substr(0, kDev.size()) == kDev) devicePath.remove_prefix(kDev.size());
  std::string name = "LCK..";
  name.append(devicePath);
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

std::string LockFileContent(int pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d\n", pid);
  return text;
}

int LockFilePid(std::string_view content) {
  content = content.substr(0, content.find('\n'));
  while (!content.empty() && Blank(content.front())) content.remove_prefix(1);
  while (!content.empty() && Blank(content.back())) content.remove_suffix(1);
  if (content.empty() || content.size() > 10) return 0;
  long long value = 0;
  for (char c : content) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value <= INT_MAX ? static_cast<int>(value) : 0;
}

std::vector<std::string> LockFolders(SystemFacts& facts, const std::vector<std::string>& folders) {
  std::vector<std::string> found;
  for (const std::string& folder : folders) {
    const std::string real = facts.RealPath(folder);
    if (!real.empty() && std::find(found.begin(), found.end(), real) == found.end()) found.push_back(real);
  }
  return found;
}

LockReading ReadLock(SystemFacts& facts, const std::string& lockPath) {
  std::string content;
  const int err = facts.ReadSmallFile(lockPath, kLockFileLimit, content);
  if (err == ENOENT) return {LockState::Free, 0};
  const int pid = err == 0 ? LockFilePid(content) : 0;
  if (pid == 0) return {LockState::Unknown, 0};
  if (pid == facts.OwnPid()) return {LockState::Ours, pid};
  return {facts.ProcessAlive(pid) ? LockState::Taken : LockState::Stale, pid};
}

LockReading PlaceOwnLock(SystemFacts& facts, const std::vector<std::string>& folders,
                         std::string_view devicePath, std::string& lockPath) {
  lockPath.clear();
  const std::string name = LockFileName(devicePath);
  const std::string content = LockFileContent(facts.OwnPid());
  for (const std::string& folder : folders) {
    const std::string path = folder + "/" + name;
    // A second round only after a stale lock was removed: another program may
    // have placed its own in between.
    for (int round = 0; round < 2; ++round) {
      const int err = facts.CreateFileOnce(path, content);
      if (err == 0) {
        lockPath = path;
        return {};
      }
      if (err != EEXIST) break;  // not writable here: try the next folder
      const LockReading there = ReadLock(facts, path);
      if (there.state == LockState::Free) continue;  // gone meanwhile
      if (there.state == LockState::Taken) return there;
      if (there.state == LockState::Ours) {
        lockPath = path;
        return {};
      }
      if (there.state != LockState::Stale || facts.RemoveFile(path) != 0) break;
    }
  }
  return {};
}

void RemoveOwnLock(SystemFacts& facts, const std::string& lockPath) {
  if (lockPath.empty()) return;
  if (ReadLock(facts, lockPath).state == LockState::Ours) facts.RemoveFile(lockPath);
}

}  // namespace ports
