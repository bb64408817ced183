#pragma once
// Made-up system facts: processes with the devices they hold, device nodes,
// links, folders and files, all in memory.

#include <sys/sysmacros.h>

#include <cerrno>
#include <map>
#include <set>
#include <string>

#include "ports/system_facts.h"

namespace ports_test {

using ports::FileIdentity;

inline constexpr std::uint64_t kDevTmpfs = 5;  // the file system of /dev
inline constexpr std::uint64_t kDevPts = 22;   // the file system of /dev/pts

inline FileIdentity CharDevice(unsigned major, unsigned minor, std::uint64_t fileSystem = kDevTmpfs) {
  return FileIdentity{fileSystem, makedev(major, minor), true};
}
inline FileIdentity Ptmx() { return CharDevice(5, 2); }
inline FileIdentity PtySlave(unsigned index, std::uint64_t fileSystem = kDevPts) {
  return CharDevice(136, index, fileSystem);
}

class FakeFacts : public ports::SystemFacts {
 public:
  struct Process {
    std::string name;
    std::map<int, FileIdentity> devices;  // descriptor -> device it is open on
    std::map<int, int> ptyIndex;          // descriptor -> "tty-index" of its fdinfo
    bool listable = true;                 // false: another user's process
    std::set<int> unreadable;             // descriptors that vanish while looked at
  };

  int ownPid = 100;
  std::map<int, Process> processes;  // every one of them runs
  std::set<int> otherLiving;         // running, but not listed (hidden /proc)
  std::map<std::string, FileIdentity> nodes;
  std::map<std::string, std::string> links;  // path -> the path it resolves to
  std::set<std::string> folders;
  std::set<std::string> readOnlyFolders;
  std::map<std::string, std::string> files;
  std::set<std::string> unreadableFiles;

  Process& Add(int pid, std::string name) {
    Process& p = processes[pid];
    p.name = std::move(name);
    return p;
  }

  int OwnPid() override { return ownPid; }
  std::vector<int> ProcessIds(std::size_t limit) override {
    std::vector<int> pids;
    for (const auto& [pid, p] : processes) {
      if (pids.size() < limit) pids.push_back(pid);
    }
    return pids;
  }
  bool Descriptors(int pid, std::size_t limit, std::vector<int>& fds) override {
    fds.clear();
    const auto it = processes.find(pid);
    if (it == processes.end() || !it->second.listable) return false;
    for (const auto& [fd, id] : it->second.devices) {
      if (fds.size() < limit) fds.push_back(fd);
    }
    return true;
  }
  bool DeviceOf(int pid, int fd, FileIdentity& id) override {
    const Process& p = processes.at(pid);
    if (p.unreadable.count(fd)) return false;
    id = p.devices.at(fd);
    return true;
  }
  int PtyMasterIndex(int pid, int fd) override {
    const Process& p = processes.at(pid);
    const auto it = p.ptyIndex.find(fd);
    return it == p.ptyIndex.end() ? -1 : it->second;
  }
  std::string ProcessName(int pid) override {
    const auto it = processes.find(pid);
    return it == processes.end() ? std::string() : it->second.name;
  }
  bool ProcessAlive(int pid) override {
    return pid == ownPid || processes.count(pid) != 0 || otherLiving.count(pid) != 0;
  }
  bool Identity(const std::string& path, FileIdentity& id) override {
    const auto it = nodes.find(RealPath(path));
    if (it == nodes.end()) return false;
    id = it->second;
    return true;
  }
  std::string RealPath(const std::string& path) override {
    if (const auto it = links.find(path); it != links.end()) return it->second;
    if (nodes.count(path) || folders.count(path) || files.count(path)) return path;
    return {};
  }
  int ReadSmallFile(const std::string& path, std::size_t limit, std::string& content) override {
    content.clear();
    if (unreadableFiles.count(path)) return EACCES;
    const auto it = files.find(path);
    if (it == files.end()) return ENOENT;
    if (it->second.size() > limit) return EINVAL;
    content = it->second;
    return 0;
  }
  int CreateFileOnce(const std::string& path, std::string_view content) override {
    const std::string folder = path.substr(0, path.rfind('/'));
    if (!folders.count(folder)) return ENOENT;
    if (readOnlyFolders.count(folder)) return EACCES;
    if (files.count(path)) return EEXIST;
    files[path] = std::string(content);
    return 0;
  }
  int RemoveFile(const std::string& path) override {
    const std::string folder = path.substr(0, path.rfind('/'));
    if (readOnlyFolders.count(folder)) return EACCES;
    return files.erase(path) != 0 ? 0 : ENOENT;
  }
};

}  // namespace ports_test
