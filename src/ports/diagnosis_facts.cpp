#include "ports/diagnosis_facts.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>

namespace ports {
namespace {

// Attributes in sysfs and entries of the udev database are short; anything
// longer is not what we look for.
constexpr std::size_t kAttributeLimit = 4096;
constexpr std::size_t kUdevEntryLimit = 65536;
// How far above a tty's device its USB interface may lie (usb-serial ports
// sit one level below it).
constexpr int kInterfaceDepth = 3;

std::vector<std::string> ListNames(const std::string& folder, std::size_t limit) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (names.size() < limit) {
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// Up to `limit` bytes of a regular file; false when it cannot be read.
// Never waits on a FIFO planted under the name.
bool ReadFile(const std::string& path, std::size_t limit, std::string& text) {
  text.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char buffer[512];
  while (ok && text.size() < limit) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  if (text.size() > limit) text.resize(limit);
  return ok;
}

// A sysfs attribute without its line end; empty when absent.
std::string Attribute(const std::string& path) {
  std::string text;
  if (!ReadFile(path, kAttributeLimit, text)) return {};
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// A hexadecimal attribute such as idVendor ("1546") or bInterfaceClass
// ("02"); -1 when absent or not hexadecimal.
int HexAttribute(const std::string& path) {
  const std::string text = Attribute(path);
  if (text.empty() || text.size() > 4) return -1;
  int value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::string LinkTarget(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
  if (n <= 0) return {};
  return std::string(target, static_cast<std::size_t>(n));
}

std::string Parent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// A single name of a folder entry, never a way out of the folder.
bool PlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// The E: lines of a udev database entry: "E:ID_MM_DEVICE_IGNORE=1".
std::map<std::string, std::string> UdevProperties(const std::string& path) {
  std::map<std::string, std::string> properties;
  std::string text;
  if (!ReadFile(path, kUdevEntryLimit, text)) return properties;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + at, end - at);
    if (StartsWith(line, "E:")) {
      const std::size_t equals = line.find('=');
      if (equals != std::string_view::npos && equals > 2)
        properties.emplace(std::string(line.substr(2, equals - 2)), std::string(line.substr(equals + 1)));
    }
    at = end + 1;
  }
  return properties;
}

}  // namespace

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

SysDiagnosisFacts::SysDiagnosisFacts(DiagnosisPaths paths) : paths_(std::move(paths)) {}

NodeFacts SysDiagnosisFacts::Node(const std::string& path) {
  NodeFacts node;
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return node;
  node.exists = true;
  node.charDevice = S_ISCHR(st.st_mode);
  node.major = major(st.st_rdev);
  node.minor = minor(st.st_rdev);
  node.ownerId = st.st_uid;
  node.groupId = st.st_gid;
  node.groupName = GroupName(st.st_gid);
  node.mode = st.st_mode & 07777;
  node.hasAcl = getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) > 0;
  node.usable = faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
  return node;
}

std::string SysDiagnosisFacts::RealPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string result(resolved);
  std::free(resolved);
  return result;
}

std::string SysDiagnosisFacts::UserName() {
  std::vector<char> buffer(4096);
  passwd entry{};
  passwd* found = nullptr;
  while (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < 1u << 20) {
    buffer.resize(buffer.size() * 4);
  }
  return found != nullptr && found->pw_name != nullptr ? found->pw_name : std::string();
}

std::vector<unsigned> SysDiagnosisFacts::ProcessGroups() {
  std::vector<unsigned> groups{static_cast<unsigned>(getegid())};
  const int count = getgroups(0, nullptr);
  if (count <= 0) return groups;
  std::vector<gid_t> list(static_cast<std::size_t>(count));
  const int got = getgroups(count, list.data());
  for (int i = 0; i < got; ++i) groups.push_back(static_cast<unsigned>(list[static_cast<std::size_t>(i)]));
  return groups;
}

std::vector<unsigned> SysDiagnosisFacts::DatabaseGroups(const std::string& user) {
  if (user.empty()) return {};
  std::vector<char> buffer(4096);
  passwd entry{};
  passwd* found = nullptr;
  while (getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < 1u << 20) {
    buffer.resize(buffer.size() * 4);
  }
  if (found == nullptr) return {};
  std::vector<gid_t> list(64);
  int count = static_cast<int>(list.size());
  for (int round = 0; round < 4; ++round) {
    count = static_cast<int>(list.size());
    if (getgrouplist(user.c_str(), found->pw_gid, list.data(), &count) >= 0) break;
    if (count <= static_cast<int>(list.size())) count = static_cast<int>(list.size()) * 2;
    list.resize(static_cast<std::size_t>(count));
    count = -1;
  }
  std::vector<unsigned> groups;
  for (int i = 0; i < count && i < static_cast<int>(list.size()); ++i)
    groups.push_back(static_cast<unsigned>(list[static_cast<std::size_t>(i)]));
  return groups;
}

std::string SysDiagnosisFacts::GroupName(unsigned groupId) {
  std::vector<char> buffer(4096);
  group entry{};
  group* found = nullptr;
  while (getgrgid_r(static_cast<gid_t>(groupId), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < 1u << 20) {
    buffer.resize(buffer.size() * 4);
  }
  return found != nullptr && found->gr_name != nullptr ? found->gr_name : std::string();
}

std::vector<std::string> SysDiagnosisFacts::ProcessNames() {
  std::set<std::string> names;
  for (const std::string& entry : ListNames(paths_.procRoot, paths_.maxProcesses)) {
    if (entry.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string name = Attribute(paths_.procRoot + "/" + entry + "/comm");
    if (!name.empty()) names.insert(std::move(name));
  }
  return {names.begin(), names.end()};
}

bool SysDiagnosisFacts::BusNameHasOwner(const std::string&) { return false; }

UsbDeviceFacts SysDiagnosisFacts::UsbDeviceAt(const std::string& folder) {
  UsbDeviceFacts usb;
  usb.sysName = BaseName(folder);
  usb.vendorId = HexAttribute(folder + "/idVendor");
  usb.productId = HexAttribute(folder + "/idProduct");
  usb.manufacturer = Attribute(folder + "/manufacturer");
  usb.product = Attribute(folder + "/product");
  usb.serial = Attribute(folder + "/serial");
  // Interfaces are the entries "<device>:<configuration>.<interface>"; a
  // cdc_acm tty lives in their tty/ folder, a usb-serial port is an entry
  // ttyUSB<n> of its own, a network interface lives in net/.
  for (const std::string& face : ListNames(folder, paths_.maxEntries)) {
    if (!StartsWith(face, usb.sysName + ":")) continue;
    const std::string faceFolder = folder + "/" + face;
    for (const std::string& entry : ListNames(faceFolder, paths_.maxEntries)) {
      if (StartsWith(entry, "ttyUSB")) usb.ttys.push_back(entry);
    }
    for (const std::string& tty : ListNames(faceFolder + "/tty", paths_.maxEntries)) usb.ttys.push_back(tty);
    usb.netInterfaces += static_cast<int>(ListNames(faceFolder + "/net", paths_.maxEntries).size());
  }
  return usb;
}

TtyFacts SysDiagnosisFacts::Tty(const std::string& ttyName) {
  TtyFacts tty;
  if (!PlainName(ttyName)) return tty;
  const std::string classFolder = paths_.sysRoot + "/class/tty/" + ttyName;
  if (!Exists(classFolder)) return tty;
  tty.known = true;
  const std::string device = RealPath(classFolder + "/device");
  if (!device.empty()) {
    tty.driver = BaseName(LinkTarget(device + "/driver"));
    std::string folder = device;
    for (int level = 0; level <= kInterfaceDepth && !folder.empty(); ++level, folder = Parent(folder)) {
      if (!Exists(folder + "/bInterfaceClass")) continue;
      const std::string usbFolder = Parent(folder);
      if (usbFolder.empty() || !Exists(usbFolder + "/idVendor")) break;
      tty.usb = true;
      tty.interfaceClass = HexAttribute(folder + "/bInterfaceClass");
      tty.interfaceSubClass = HexAttribute(folder + "/bInterfaceSubClass");
      tty.interfaceProtocol = HexAttribute(folder + "/bInterfaceProtocol");
      tty.usbDevice = UsbDeviceAt(usbFolder);
      break;
    }
  }
  // The udev database keeps a device's properties under "c<major>:<minor>".
  const std::string numbers = Attribute(classFolder + "/dev");
  if (!numbers.empty() && numbers.find_first_not_of("0123456789:") == std::string::npos)
    tty.udev = UdevProperties(paths_.udevData + "/c" + numbers);
  return tty;
}

std::vector<UsbDeviceFacts> SysDiagnosisFacts::UsbDevices() {
  std::vector<UsbDeviceFacts> devices;
  const std::string bus = paths_.sysRoot + "/bus/usb/devices";
  for (const std::string& entry : ListNames(bus, paths_.maxEntries)) {
    if (entry.find(':') != std::string::npos) continue;  // an interface
    const std::string folder = RealPath(bus + "/" + entry);
    if (folder.empty() || !Exists(folder + "/idVendor")) continue;
    devices.push_back(UsbDeviceAt(folder));
  }
  return devices;
}

std::vector<RuleFileFacts> SysDiagnosisFacts::RuleFiles(const std::string& part) {
  std::vector<RuleFileFacts> files;
  std::set<std::string> seen;
  for (const std::string& folder : paths_.ruleFolders) {
    for (const std::string& name : ListNames(folder, paths_.maxEntries)) {
      constexpr std::string_view kSuffix = ".rules";
      if (name.size() <= kSuffix.size() ||
          name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        continue;
      if (name.find(part) == std::string::npos || !seen.insert(name).second) continue;
      RuleFileFacts file{name, folder + "/" + name, false};
      struct stat st {};
      if (LinkTarget(file.path) == "/dev/null") {
        file.masked = true;
      } else if (stat(file.path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) {
        file.masked = true;
      }
      files.push_back(std::move(file));
    }
  }
  return files;
}

std::vector<ByIdLink> SysDiagnosisFacts::SerialByIdLinks() {
  std::vector<ByIdLink> links;
  for (const std::string& name : ListNames(paths_.byIdFolder, paths_.maxEntries)) {
    const std::string path = paths_.byIdFolder + "/" + name;
    links.push_back({path, RealPath(path)});
  }
  return links;
}

}  // namespace ports
