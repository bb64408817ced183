// The real machine's facts, read from a made-up sysfs, udev database, rule
// folders, /dev/serial/by-id and /proc laid out as the kernel and udev lay
// them out; users and groups from this machine's own database.

#include "ports/diagnosis_facts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

class MadeUpMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/gpsdesk-facts-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    const fs::path usb = root_ / "sys/devices/pci0000:00/0000:00:14.0/usb1";

    // A receiver with a CDC-ACM interface: 1-1, interface 1-1:1.0, ttyACM0.
    const fs::path receiver = usb / "1-1";
    Write(receiver / "idVendor", "1546\n");
    Write(receiver / "idProduct", "01a8\n");
    Write(receiver / "manufacturer", "u-blox AG - www.u-blox.com\n");
    Write(receiver / "product", "u-blox GNSS receiver\n");
    Write(receiver / "serial", "0123\n");
    Interface(receiver / "1-1:1.0", "02", "02", "01", "cdc_acm");
    Interface(receiver / "1-1:1.1", "0a", "00", "00", "cdc_acm");
    Write(receiver / "1-1:1.0/tty/ttyACM0/dev", "166:0\n");
    Link(root_ / "sys/class/tty/ttyACM0", receiver / "1-1:1.0/tty/ttyACM0");
    Link(receiver / "1-1:1.0/tty/ttyACM0/device", receiver / "1-1:1.0");

    // A CH340 adapter: its usb-serial port ttyUSB0 sits below the interface.
    const fs::path adapter = usb / "1-2";
    Write(adapter / "idVendor", "1a86\n");
    Write(adapter / "idProduct", "7523\n");
    Write(adapter / "product", "USB Serial\n");
    Interface(adapter / "1-2:1.0", "ff", "01", "02", "ch341");
    fs::create_directories(adapter / "1-2:1.0/ttyUSB0");
    Link(adapter / "1-2:1.0/ttyUSB0/driver", root_ / "sys/bus/usb-serial/drivers/ch341-uart");
    Write(adapter / "1-2:1.0/ttyUSB0/tty/ttyUSB0/dev", "188:0\n");
    Link(root_ / "sys/class/tty/ttyUSB0", adapter / "1-2:1.0/ttyUSB0/tty/ttyUSB0");
    Link(adapter / "1-2:1.0/ttyUSB0/tty/ttyUSB0/device", adapter / "1-2:1.0/ttyUSB0");

    // A CP210x adapter that lost its tty, and a modem with a network port.
    const fs::path lost = usb / "1-3";
    Write(lost / "idVendor", "10c4\n");
    Write(lost / "idProduct", "ea60\n");
    Interface(lost / "1-3:1.0", "ff", "00", "00", "");
    const fs::path modem = usb / "1-4";
    Write(modem / "idVendor", "2c7c\n");
    Write(modem / "idProduct", "0125\n");
    Interface(modem / "1-4:1.2", "ff", "00", "00", "option");
    fs::create_directories(modem / "1-4:1.2/ttyUSB1");
    fs::create_directories(modem / "1-4:1.4/net/wwan0");

    // An on-board UART, not on USB.
    const fs::path uart = root_ / "sys/devices/pnp0/00:05";
    Link(uart / "driver", root_ / "sys/bus/pnp/drivers/serial");
    Write(uart / "tty/ttyS0/dev", "4:64\n");
    Link(root_ / "sys/class/tty/ttyS0", uart / "tty/ttyS0");
    Link(uart / "tty/ttyS0/device", uart);

    const fs::path bus = root_ / "sys/bus/usb/devices";
    Link(bus / "usb1", usb);
    for (const char* name : {"1-1", "1-2", "1-3", "1-4"}) Link(bus / name, usb / name);
    Link(bus / "1-1:1.0", usb / "1-1/1-1:1.0");
    Write(usb / "idVendor", "1d6b\n");  // the root hub
    Write(usb / "idProduct", "0002\n");

    Write(root_ / "run/udev/data/c166:0",
          "S:serial/by-id/usb-u-blox-if00\nE:ID_MM_DEVICE_IGNORE=1\nE:ID_SERIAL=u-blox_0123\nG:systemd\n");

    Write(root_ / "dev/ttyACM0", "");
    Link(root_ / "dev/serial/by-id/usb-u-blox-if00", root_ / "dev/ttyACM0");
    Link(root_ / "dev/serial/by-id/usb-gone-if00", root_ / "dev/ttyUSB9");

    Write(root_ / "proc/1/comm", "systemd\n");
    Write(root_ / "proc/42/comm", "brltty\n");
    Write(root_ / "proc/43/comm", "brltty\n");
    Write(root_ / "proc/self/comm", "not a process\n");

    paths_.sysRoot = root_ / "sys";
    paths_.procRoot = root_ / "proc";
    paths_.udevData = root_ / "run/udev/data";
    paths_.byIdFolder = root_ / "dev/serial/by-id";
    paths_.ruleFolders = {root_ / "etc/udev/rules.d", root_ / "usr/lib/udev/rules.d"};
  }
  void TearDown() override { fs::remove_all(root_); }

  static void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  static void Link(const fs::path& link, const fs::path& target) {
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(target, link);
  }
  void Interface(const fs::path& folder, const char* cls, const char* sub, const char* protocol,
                 const std::string& driver) {
    Write(folder / "bInterfaceClass", std::string(cls) + "\n");
    Write(folder / "bInterfaceSubClass", std::string(sub) + "\n");
    Write(folder / "bInterfaceProtocol", std::string(protocol) + "\n");
    if (!driver.empty()) Link(folder / "driver", root_ / "sys/bus/usb/drivers" / driver);
  }

  fs::path root_;
  ports::DiagnosisPaths paths_;
};

TEST_F(MadeUpMachine, AnAcmTtyShowsItsInterfaceDeviceAndUdevProperties) {
  ports::SysDiagnosisFacts facts(paths_);
  const ports::TtyFacts tty = facts.Tty("ttyACM0");
  EXPECT_TRUE(tty.known);
  EXPECT_TRUE(tty.usb);
  EXPECT_EQ(tty.driver, "cdc_acm");
  EXPECT_EQ(tty.interfaceClass, 2);
  EXPECT_EQ(tty.interfaceSubClass, 2);
  EXPECT_EQ(tty.interfaceProtocol, 1);
  EXPECT_EQ(tty.usbDevice.sysName, "1-1");
  EXPECT_EQ(tty.usbDevice.vendorId, 0x1546);
  EXPECT_EQ(tty.usbDevice.productId, 0x01a8);
  EXPECT_EQ(tty.usbDevice.manufacturer, "u-blox AG - www.u-blox.com");
  EXPECT_EQ(tty.usbDevice.product, "u-blox GNSS receiver");
  EXPECT_EQ(tty.usbDevice.serial, "0123");
  EXPECT_THAT(tty.usbDevice.ttys, ElementsAre("ttyACM0"));
  EXPECT_EQ(tty.usbDevice.netInterfaces, 0);
  EXPECT_EQ(tty.udev.at("ID_MM_DEVICE_IGNORE"), "1");
  EXPECT_EQ(tty.udev.at("ID_SERIAL"), "u-blox_0123");
  EXPECT_EQ(tty.udev.count("serial/by-id/usb-u-blox-if00"), 0u) << "only E: lines are properties";
}

TEST_F(MadeUpMachine, AUsbSerialPortAndAUartAreToldApart) {
  ports::SysDiagnosisFacts facts(paths_);
  const ports::TtyFacts adapter = facts.Tty("ttyUSB0");
  EXPECT_TRUE(adapter.usb);
  EXPECT_EQ(adapter.driver, "ch341-uart");
  EXPECT_EQ(adapter.interfaceClass, 0xff);
  EXPECT_EQ(adapter.usbDevice.vendorId, 0x1a86);
  EXPECT_EQ(adapter.usbDevice.productId, 0x7523);
  EXPECT_THAT(adapter.usbDevice.ttys, ElementsAre("ttyUSB0"));
  EXPECT_TRUE(adapter.udev.empty());

  const ports::TtyFacts uart = facts.Tty("ttyS0");
  EXPECT_TRUE(uart.known);
  EXPECT_FALSE(uart.usb);
  EXPECT_EQ(uart.driver, "serial");

  EXPECT_FALSE(facts.Tty("ttyUSB7").known);
  EXPECT_FALSE(facts.Tty("../ttyACM0").known) << "a name never leads out of the folder";
  EXPECT_FALSE(facts.Tty("..").known);
}

TEST_F(MadeUpMachine, UsbDevicesListTheirTtysAndNetworkPorts) {
  ports::SysDiagnosisFacts facts(paths_);
  std::map<std::string, ports::UsbDeviceFacts> bySysName;
  for (ports::UsbDeviceFacts& usb : facts.UsbDevices()) bySysName[usb.sysName] = std::move(usb);
  ASSERT_EQ(bySysName.size(), 5u) << "four devices and the root hub; interfaces are not devices";
  EXPECT_THAT(bySysName["1-3"].ttys, IsEmpty());
  EXPECT_EQ(bySysName["1-3"].vendorId, 0x10c4);
  EXPECT_EQ(bySysName["1-3"].productId, 0xea60);
  EXPECT_THAT(bySysName["1-4"].ttys, ElementsAre("ttyUSB1"));
  EXPECT_EQ(bySysName["1-4"].netInterfaces, 1);
  EXPECT_EQ(bySysName["usb1"].vendorId, 0x1d6b);
}

TEST_F(MadeUpMachine, RuleFilesFollowUdevsOrderAndMasks) {
  Link(root_ / "etc/udev/rules.d/85-brltty.rules", "/dev/null");
  Write(root_ / "usr/lib/udev/rules.d/85-brltty.rules", "ACTION==\"add\"\n");
  Write(root_ / "usr/lib/udev/rules.d/90-brltty-usb-generic.rules", "ACTION==\"add\"\n");
  Write(root_ / "usr/lib/udev/rules.d/95-brltty-empty.rules", "");
  Write(root_ / "usr/lib/udev/rules.d/60-serial.rules", "ACTION==\"add\"\n");
  Write(root_ / "usr/lib/udev/rules.d/brltty.rules.orig", "ACTION==\"add\"\n");
  ports::SysDiagnosisFacts facts(paths_);
  const std::vector<ports::RuleFileFacts> rules = facts.RuleFiles("brltty");
  ASSERT_EQ(rules.size(), 3u);
  EXPECT_EQ(rules[0].name, "85-brltty.rules");
  EXPECT_EQ(rules[0].path, (root_ / "etc/udev/rules.d/85-brltty.rules").string());
  EXPECT_TRUE(rules[0].masked) << "the link to /dev/null in /etc hides the packaged rule";
  EXPECT_EQ(rules[1].name, "90-brltty-usb-generic.rules");
  EXPECT_FALSE(rules[1].masked);
  EXPECT_EQ(rules[2].name, "95-brltty-empty.rules");
  EXPECT_TRUE(rules[2].masked);
}

TEST_F(MadeUpMachine, ByIdLinksAndProcessNames) {
  ports::SysDiagnosisFacts facts(paths_);
  EXPECT_THAT(facts.SerialByIdLinks(),
              ElementsAre(ports::ByIdLink{(root_ / "dev/serial/by-id/usb-gone-if00").string(), ""},
                          ports::ByIdLink{(root_ / "dev/serial/by-id/usb-u-blox-if00").string(),
                                          (root_ / "dev/ttyACM0").string()}));
  EXPECT_THAT(facts.ProcessNames(), UnorderedElementsAre("systemd", "brltty"));

  paths_.byIdFolder = root_ / "dev/serial/none";  // no USB serial device: the folder is gone
  EXPECT_THAT(ports::SysDiagnosisFacts(paths_).SerialByIdLinks(), IsEmpty());
}

TEST(ThisMachine, NodesUsersAndGroups) {
  ports::SysDiagnosisFacts facts;
  char pattern[] = "/tmp/gpsdesk-node-XXXXXX";
  const int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_EQ(chmod(pattern, 0640), 0);
  const ports::NodeFacts node = facts.Node(pattern);
  EXPECT_TRUE(node.exists);
  EXPECT_FALSE(node.charDevice);
  EXPECT_EQ(node.mode, 0640u);
  EXPECT_EQ(node.groupId, static_cast<unsigned>(getegid()));
  EXPECT_EQ(node.groupName, facts.GroupName(getegid()));
  EXPECT_TRUE(node.usable) << "our own file";
  unlink(pattern);
  EXPECT_FALSE(facts.Node(pattern).exists);
  EXPECT_FALSE(facts.Node("").exists);

  const ports::NodeFacts null = facts.Node("/dev/null");
  EXPECT_TRUE(null.charDevice);
  EXPECT_EQ(null.major, 1u);
  EXPECT_EQ(null.minor, 3u);
  EXPECT_TRUE(null.usable);

  EXPECT_THAT(facts.ProcessGroups(), Contains(static_cast<unsigned>(getegid())));
  const std::string user = facts.UserName();
  ASSERT_FALSE(user.empty());
  EXPECT_FALSE(facts.DatabaseGroups(user).empty()) << "at least the user's own group";
  EXPECT_THAT(facts.DatabaseGroups("no-such-user-gpsdesk"), IsEmpty());
  EXPECT_EQ(facts.GroupName(0), "root");
  EXPECT_FALSE(facts.BusNameHasOwner("org.freedesktop.ModemManager1")) << "the core asks no bus";
}

}  // namespace
