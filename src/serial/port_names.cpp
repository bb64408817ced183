#include "serial/port_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

#include "serial/net_address.h"

namespace serial {
namespace {

// Device families in the order their members are handed out.
constexpr std::string_view kFamilies[] = {"ttyUSB", "ttyACM", "rfcomm", "ttyS"};

// The number after `prefix` in `name`, or -1 when the rest is not a plain
// decimal number.
long SuffixNumber(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return -1;
  std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 6) return -1;
  long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  if (digits.size() > 1 && digits[0] == '0') return -1;
  return value;
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.empty()) return names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
  closedir(dir);
  return names;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// A ttyS node is only a real UART when the serial core knows its type.
bool IsRealUart(const PortLocations& where, const std::string& name) {
  std::ifstream type(where.ttyClassFolder + "/" + name + "/type");
  if (type) {
    long value = 0;
    return static_cast<bool>(type >> value) && value != 0;
  }
  return Exists(where.ttyClassFolder + "/" + name + "/device");
}

std::string Canonical(const std::string& path) {
  char buffer[PATH_MAX];
  if (realpath(path.c_str(), buffer) != nullptr) return buffer;
  return path;
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

constexpr std::size_t kMaxAddressEntry = 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The address a published regular file holds: its one line without the line
// end and surrounding blanks, in canonical form when it is valid. An entry
// that cannot be read, is too large or holds a path yields a text that says
// so, which is no valid address and no device path either.
std::string ReadAddressEntry(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return "(unreadable entry)";
  struct stat st {};
  char buffer[kMaxAddressEntry + 1];
  std::size_t total = 0;
  bool readable = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  while (readable && total < sizeof buffer) {
    const ssize_t n = read(fd, buffer + total, sizeof buffer - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) readable = false;
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
  }
  close(fd);
  if (!readable) return "(unreadable entry)";
  if (total > kMaxAddressEntry) return "(entry larger than 1 KiB)";
  std::string_view text(buffer, total);
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return "(empty entry)";
  if (text.front() == '/') return "(a path, not an address: " + QuotedText(text) + ")";
  NetAddress address;
  if (ParseNetAddress(text, address).empty()) return FormatNetAddress(address);
  return std::string(text);
}

// Where a published entry leads: a symbolic link's target (made absolute
// against the folder), the address a regular file holds, or the entry itself.
std::string TargetOf(const std::string& folder, const std::string& entry) {
  const std::string path = JoinPath(folder, entry);
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return {};
  if (S_ISREG(st.st_mode)) return ReadAddressEntry(path);
  if (!S_ISLNK(st.st_mode)) return path;
  std::string target(PATH_MAX, '\0');
  const ssize_t n = readlink(path.c_str(), target.data(), target.size() - 1);
  if (n <= 0) return {};
  target.resize(static_cast<std::size_t>(n));
  return target.front() == '/' ? target : JoinPath(folder, target);
}

// Published entries by COM number.
std::map<int, std::string> PublishedLinks(const PortLocations& where) {
  std::map<int, std::string> links;
  for (const std::string& entry : ListFolder(where.linkFolder)) {
    const int number = ComNumberOf(entry);
    if (number == 0 || entry != ComNameOf(number)) continue;  // published names are written "COM<n>"
    std::string target = TargetOf(where.linkFolder, entry);
    if (!target.empty()) links.emplace(number, std::move(target));
  }
  return links;
}

// An address target as it is opened: its canonical form, or
// ERROR_INVALID_NAME with the text left as it was.
Status CheckAddress(std::string& target) {
  NetAddress address;
  if (!ParseNetAddress(target, address).empty()) return ERROR_INVALID_NAME;
  target = FormatNetAddress(address);
  return ERROR_SUCCESS;
}

// The system devices no published link points at, in handing-out order.
std::vector<std::string> UnlinkedDevices(const PortLocations& where,
                                         const std::map<int, std::string>& links) {
  std::set<std::string> linked;
  for (const auto& [number, target] : links) linked.insert(Canonical(target));
  std::vector<std::string> devices;
  for (std::string& device : SystemSerialDevices(where)) {
    if (!linked.count(Canonical(device))) devices.push_back(std::move(device));
  }
  return devices;
}

// The device the n-th name gets when no link decides it: names without a
// link take the unlinked devices in ascending order.
std::string AssignedDevice(int number, const std::map<int, std::string>& links,
                           const std::vector<std::string>& devices) {
  int index = number - 1;
  for (const auto& [linkedNumber, target] : links) {
    if (linkedNumber < number) --index;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= devices.size()) return {};
  return devices[static_cast<std::size_t>(index)];
}

Status MakeFolders(const std::string& folder) {
  std::string partial;
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t slash = folder.find('/', start);
    if (slash == std::string::npos) slash = folder.size();
    partial = folder.substr(0, slash);
    start = slash + 1;
    if (partial.empty()) continue;
    if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return StatusFromErrno(errno);
  }
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0) return StatusFromErrno(errno);
  return S_ISDIR(st.st_mode) ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::string DefaultLinkFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return JoinPath(runtime, "gpsdesk/ports");
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return JoinPath(home, ".local/state/gpsdesk/ports");
  return {};
}

PortLocations DefaultPortLocations() {
  PortLocations where;
  where.linkFolder = DefaultLinkFolder();
  return where;
}

int ComNumberOf(std::string_view name) {
  if (name.size() < 4 || name.size() > 6) return 0;
  for (int i = 0; i < 3; ++i) {
    const char c = static_cast<char>(name[i] & ~0x20);  // upper case of a letter
    if (c != "COM"[i]) return 0;
  }
  const long number = SuffixNumber(name.substr(3), "");
  return number >= 1 && number <= kMaxComNumber ? static_cast<int>(number) : 0;
}

std::string ComNameOf(int number) { return "COM" + std::to_string(number); }

std::vector<std::string> SystemSerialDevices(const PortLocations& where) {
  const std::vector<std::string> entries = ListFolder(where.devFolder);
  std::vector<std::string> devices;
  for (std::string_view family : kFamilies) {
    std::vector<std::pair<long, std::string>> members;
    for (const std::string& entry : entries) {
      const long number = SuffixNumber(entry, family);
      if (number < 0) continue;
      if (family == "ttyS" && !IsRealUart(where, entry)) continue;
      members.emplace_back(number, entry);
    }
    std::sort(members.begin(), members.end());
    for (const auto& [number, entry] : members) devices.push_back(JoinPath(where.devFolder, entry));
  }
  return devices;
}

std::vector<PortMapping> ListPortMappings(const PortLocations& where, int count) {
  const std::map<int, std::string> links = PublishedLinks(where);
  const std::vector<std::string> devices = UnlinkedDevices(where, links);
  std::vector<PortMapping> mappings;
  for (int number = 1; number <= count; ++number) {
    PortMapping m;
    m.name = ComNameOf(number);
    if (auto it = links.find(number); it != links.end()) {
      m.device = it->second;
      m.linked = true;
    } else {
      m.device = AssignedDevice(number, links, devices);
    }
    mappings.push_back(std::move(m));
  }
  return mappings;
}

bool IsAddressTarget(std::string_view target) { return !target.empty() && target.front() != '/'; }

std::string AddressProblem(std::string_view target) {
  NetAddress address;
  return ParseNetAddress(target, address);
}

Status ResolvePortName(std::string_view name, std::string& device, const PortLocations& where) {
  device.clear();
  if (!name.empty() && name.front() == '/') {
    device = name;
    return ERROR_SUCCESS;
  }
  if (HasNetScheme(name)) {
    device = name;
    return CheckAddress(device);
  }
  const int number = ComNumberOf(name);
  if (number == 0) return ERROR_FILE_NOT_FOUND;
  const std::map<int, std::string> links = PublishedLinks(where);
  if (auto it = links.find(number); it != links.end()) {
    device = it->second;
    return IsAddressTarget(device) ? CheckAddress(device) : ERROR_SUCCESS;
  }
  device = AssignedDevice(number, links, UnlinkedDevices(where, links));
  return device.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

Status ResolvePortName(std::string_view name, std::string& device) {
  if (!name.empty() && (name.front() == '/' || HasNetScheme(name))) {
    return ResolvePortName(name, device, PortLocations{});
  }
  return ResolvePortName(name, device, DefaultPortLocations());
}

Status PublishPortLink(const PortLocations& where, std::string_view comName, std::string_view device) {
  const int number = ComNumberOf(comName);
  if (number == 0 || device.empty() || device.front() != '/' || where.linkFolder.empty()) {
    return ERROR_INVALID_PARAMETER;
  }
  if (const Status s = MakeFolders(where.linkFolder)) return s;
  const std::string name = ComNameOf(number);
  const std::string final = JoinPath(where.linkFolder, name);
  const std::string temporary = JoinPath(where.linkFolder, "." + name + ".new." + std::to_string(getpid()));
  unlink(temporary.c_str());
  if (symlink(std::string(device).c_str(), temporary.c_str()) != 0) return StatusFromErrno(errno);
  if (rename(temporary.c_str(), final.c_str()) != 0) {
    const int err = errno;
    unlink(temporary.c_str());
    return StatusFromErrno(err);
  }
  return ERROR_SUCCESS;
}

Status PublishPortAddress(const PortLocations& where, std::string_view comName, std::string_view address) {
  const int number = ComNumberOf(comName);
  if (number == 0 || where.linkFolder.empty()) return ERROR_INVALID_PARAMETER;
  NetAddress parsed;
  if (!ParseNetAddress(address, parsed).empty()) return ERROR_INVALID_NAME;
  if (const Status s = MakeFolders(where.linkFolder)) return s;
  const std::string name = ComNameOf(number);
  const std::string final = JoinPath(where.linkFolder, name);
  const std::string temporary = JoinPath(where.linkFolder, "." + name + ".new." + std::to_string(getpid()));
  unlink(temporary.c_str());
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return StatusFromErrno(errno);
  const std::string text = FormatNetAddress(parsed) + "\n";
  std::size_t written = 0;
  int err = 0;
  while (written < text.size()) {
    const ssize_t n = write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : EIO;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(temporary.c_str(), final.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(temporary.c_str());
    return StatusFromErrno(err);
  }
  return ERROR_SUCCESS;
}

std::string PublishedAddress(const PortLocations& where, std::string_view comName) {
  const int number = ComNumberOf(comName);
  if (number == 0 || where.linkFolder.empty()) return {};
  const std::string path = JoinPath(where.linkFolder, ComNameOf(number));
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return ReadAddressEntry(path);
}

Status UnpublishPortLink(const PortLocations& where, std::string_view comName) {
  const int number = ComNumberOf(comName);
  if (number == 0 || where.linkFolder.empty()) return ERROR_INVALID_PARAMETER;
  if (unlink(JoinPath(where.linkFolder, ComNameOf(number)).c_str()) != 0) return StatusFromErrno(errno);
  return ERROR_SUCCESS;
}

}  // namespace serial
