#pragma once
// What explaining a failed open needs to know about the machine: the device
// node (owner, mode, whether this process may use it), the user and the
// groups of this login and of the group database, the programs that run,
// what sysfs and the udev database say about a tty and the USB devices, the
// udev rule files and the stable /dev/serial/by-id names.
//
// Behind one interface so that every explanation is a plain function tested
// on made-up facts; SysDiagnosisFacts is the real machine, with the folders
// it reads as parameters so that it can be pointed at a made-up tree. What
// cannot be read is reported as unknown (empty, -1, false), never as an
// error.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ports {

// stat() and access() of a device node, links followed.
struct NodeFacts {
  bool exists = false;
  bool charDevice = false;
  unsigned major = 0, minor = 0;
  unsigned ownerId = 0;
  unsigned groupId = 0;
  std::string groupName;  // empty when the group database has no name for it
  unsigned mode = 0;      // permission bits, 0777
  bool hasAcl = false;    // an access ACL is set (ls -l shows '+')
  bool usable = false;    // access(R_OK | W_OK) passes for this process
};

// A USB device (not one of its interfaces) as sysfs shows it.
struct UsbDeviceFacts {
  std::string sysName;  // "1-1.2"
  int vendorId = -1;    // -1 when unknown
  int productId = -1;
  std::string manufacturer, product, serial;
  std::vector<std::string> ttys;  // tty names below its interfaces
  int netInterfaces = 0;          // network interfaces below them
};

// A tty as sysfs and the udev database show it.
struct TtyFacts {
  bool known = false;  // sysfs has it
  std::string driver;  // "cdc_acm", "ch341-uart", "ftdi_sio", "serial8250"...
  bool usb = false;    // it hangs below a USB interface
  int interfaceClass = -1, interfaceSubClass = -1, interfaceProtocol = -1;
  UsbDeviceFacts usbDevice;                 // valid when `usb`
  std::map<std::string, std::string> udev;  // E: properties of the udev database
};

// A udev rule file in effect: the first of its name in the folders' order.
struct RuleFileFacts {
  std::string name;  // "85-brltty.rules"
  std::string path;
  bool masked = false;  // a link to /dev/null or an empty file
};

// An entry of /dev/serial/by-id with the device it leads to.
struct ByIdLink {
  std::string path;    // /dev/serial/by-id/usb-...-if00
  std::string target;  // /dev/ttyACM0; empty when it leads nowhere

  friend bool operator==(const ByIdLink&, const ByIdLink&) = default;
};

class DiagnosisFacts {
 public:
  virtual ~DiagnosisFacts() = default;

  virtual NodeFacts Node(const std::string& path) = 0;
  // The path with every link resolved; empty when that fails.
  virtual std::string RealPath(const std::string& path) = 0;

  // The user this process runs as; empty when the database has no entry.
  virtual std::string UserName() = 0;
  // The groups of this process: the effective group and the supplementary
  // ones (what `id -nG` without an argument shows).
  virtual std::vector<unsigned> ProcessGroups() = 0;
  // The groups the group database gives `user` (what `id -nG user` shows):
  // new memberships show here before the next login.
  virtual std::vector<unsigned> DatabaseGroups(const std::string& user) = 0;
  virtual std::string GroupName(unsigned groupId) = 0;

  // The command names of the running processes, each once.
  virtual std::vector<std::string> ProcessNames() = 0;
  // Whether a well-known name on the system bus has an owner. Only asked,
  // never called, so that nothing is started by asking. False when unknown.
  virtual bool BusNameHasOwner(const std::string& name) = 0;

  // The tty of that name ("ttyACM0").
  virtual TtyFacts Tty(const std::string& ttyName) = 0;
  virtual std::vector<UsbDeviceFacts> UsbDevices() = 0;
  // The udev rule files whose name contains `part`.
  virtual std::vector<RuleFileFacts> RuleFiles(const std::string& part) = 0;
  virtual std::vector<ByIdLink> SerialByIdLinks() = 0;
};

// Where SysDiagnosisFacts reads.
struct DiagnosisPaths {
  std::string sysRoot = "/sys";
  std::string procRoot = "/proc";
  std::string udevData = "/run/udev/data";
  std::string byIdFolder = "/dev/serial/by-id";
  // In udev's order: a name in an earlier folder hides the same name later.
  std::vector<std::string> ruleFolders{"/etc/udev/rules.d", "/run/udev/rules.d",
                                       "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                                       "/lib/udev/rules.d"};
  std::size_t maxProcesses = 16384;
  std::size_t maxEntries = 4096;  // per folder read
};

class SysDiagnosisFacts : public DiagnosisFacts {
 public:
  explicit SysDiagnosisFacts(DiagnosisPaths paths = {});

  NodeFacts Node(const std::string& path) override;
  std::string RealPath(const std::string& path) override;
  std::string UserName() override;
  std::vector<unsigned> ProcessGroups() override;
  std::vector<unsigned> DatabaseGroups(const std::string& user) override;
  std::string GroupName(unsigned groupId) override;
  std::vector<std::string> ProcessNames() override;
  // Knows no bus: false. The window's side asks the bus.
  bool BusNameHasOwner(const std::string& name) override;
  TtyFacts Tty(const std::string& ttyName) override;
  std::vector<UsbDeviceFacts> UsbDevices() override;
  std::vector<RuleFileFacts> RuleFiles(const std::string& part) override;
  std::vector<ByIdLink> SerialByIdLinks() override;

 private:
  UsbDeviceFacts UsbDeviceAt(const std::string& folder);

  DiagnosisPaths paths_;
};

// The last component of a path: "ttyUSB0" for "/dev/ttyUSB0".
std::string BaseName(const std::string& path);

}  // namespace ports
