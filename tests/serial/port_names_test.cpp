// How COM names map to devices, on folders the test lays out.

#include "serial/port_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "serial/serial_link.h"
#include "serial_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace serial;

class SerialPortNames : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/gpsdesk-ports-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    where = {root + "/run/gpsdesk/ports", root + "/dev", root + "/sys"};
    fs::create_directories(where.devFolder);
  }
  void TearDown() override { fs::remove_all(root); }

  void AddDevices(std::initializer_list<const char*> names) {
    for (const char* name : names) std::ofstream(Dev(name)).put('\0');
  }
  void AddUart(const std::string& name, const char* type) {
    AddDevices({name.c_str()});
    fs::create_directories(where.ttyClassFolder + "/" + name + "/device");
    if (type != nullptr) std::ofstream(where.ttyClassFolder + "/" + name + "/type") << type << "\n";
  }
  std::string Resolve(std::string_view name) {
    std::string device;
    const Status s = ResolvePortName(name, device, where);
    return s == 0 ? device : "error " + std::to_string(s);
  }
  std::string Dev(const std::string& name) { return where.devFolder + "/" + name; }

  std::string root;
  PortLocations where;
};

TEST_F(SerialPortNames, SystemDevicesInAStableNaturalOrder) {
  AddDevices({"ttyUSB10", "ttyUSB2", "ttyACM0", "rfcomm1", "ttyUSB0", "ttyUSBx", "tty0", "ttyS2"});
  AddUart("ttyS0", "4");
  AddUart("ttyS1", "0");      // a placeholder without a UART behind it
  AddUart("ttyS3", nullptr);  // no type reported: the device entry decides
  EXPECT_EQ(SystemSerialDevices(where),
            (std::vector<std::string>{Dev("ttyUSB0"), Dev("ttyUSB2"), Dev("ttyUSB10"), Dev("ttyACM0"),
                                      Dev("rfcomm1"), Dev("ttyS0"), Dev("ttyS3")}));
  EXPECT_EQ(Resolve("COM1"), Dev("ttyUSB0"));
  EXPECT_EQ(Resolve("COM7"), Dev("ttyS3"));
  EXPECT_EQ(Resolve("COM8"), "error 2");
  for (const char* other : {"ttyUSB0", "COM0", "COM01", "COM256", "COM1a", " COM1"}) {
    EXPECT_EQ(Resolve(other), "error 2") << other;
  }
  EXPECT_EQ(Resolve("com1"), Dev("ttyUSB0"));
  EXPECT_EQ(Resolve("/dev/anything"), "/dev/anything");  // absolute paths name devices directly
}

TEST_F(SerialPortNames, PublishedLinksTakePrecedenceAndTheRestFillIn) {
  AddDevices({"ttyUSB0", "ttyACM0", "ttyACM1"});
  const std::string simulator = root + "/pts-7";
  ASSERT_EQ(PublishPortLink(where, "COM1", simulator), 0);
  ASSERT_EQ(PublishPortLink(where, "COM3", Dev("ttyACM1")), 0);  // a user's own link
  EXPECT_TRUE(fs::is_symlink(where.linkFolder + "/COM1"));

  const std::vector<PortMapping> list = ListPortMappings(where);
  ASSERT_EQ(list.size(), 15u);
  EXPECT_EQ(list[0].name, "COM1");
  EXPECT_EQ(list[0].device, simulator);  // a link whose device is not there still decides
  EXPECT_TRUE(list[0].linked);
  EXPECT_EQ(list[1].device, Dev("ttyUSB0"));
  EXPECT_FALSE(list[1].linked);
  EXPECT_EQ(list[2].device, Dev("ttyACM1"));
  EXPECT_EQ(list[3].device, Dev("ttyACM0"));  // ttyACM1 is not handed out twice
  EXPECT_EQ(list[4].device, "");
  EXPECT_EQ(Resolve("COM4"), Dev("ttyACM0"));
  EXPECT_EQ(Resolve("COM5"), "error 2");

  // Publishing again replaces the link; unpublishing hands the name back.
  ASSERT_EQ(PublishPortLink(where, "COM1", Dev("ttyUSB0")), 0);
  EXPECT_EQ(Resolve("COM2"), Dev("ttyACM0"));
  ASSERT_EQ(UnpublishPortLink(where, "COM1"), 0);
  EXPECT_EQ(UnpublishPortLink(where, "COM1"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Resolve("COM1"), Dev("ttyUSB0"));

  EXPECT_EQ(PublishPortLink(where, "COM16x", "/dev/ttyUSB0"), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(PublishPortLink(where, "COM2", "relative/path"), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(PublishPortLink({}, "COM2", "/dev/ttyUSB0"), ERROR_INVALID_PARAMETER);
}

TEST_F(SerialPortNames, AnEntryThatIsAFileHoldsANetworkAddress) {
  AddDevices({"ttyUSB0", "ttyUSB1"});
  ASSERT_EQ(PublishPortAddress(where, "COM1", "TCP://Field-PC:2000"), 0);
  const std::string entry = where.linkFolder + "/COM1";
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(entry)));
  EXPECT_EQ((fs::status(entry).permissions() & fs::perms::all),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Resolve("COM1"), "tcp://field-pc:2000");
  EXPECT_EQ(PublishedAddress(where, "COM1"), "tcp://field-pc:2000");
  EXPECT_EQ(Resolve("COM2"), Dev("ttyUSB0")) << "the address takes the name, no device";
  const std::vector<PortMapping> list = ListPortMappings(where);
  EXPECT_EQ(list[0].device, "tcp://field-pc:2000");
  EXPECT_TRUE(list[0].linked);
  EXPECT_TRUE(IsAddressTarget(list[0].device));
  EXPECT_FALSE(IsAddressTarget(list[1].device));

  // Written by hand: one line, blanks and line end around it allowed.
  auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(where.linkFolder + "/" + name, std::ios::binary) << text;
  };
  write("COM2", "  gpsd://localhost/dev/ttyACM0\r\n\n");
  EXPECT_EQ(Resolve("COM2"), "gpsd://localhost:2947/dev/ttyACM0");
  // Anything else in such a file is refused, never opened as a path.
  for (const std::string& text : {std::string(), std::string("tcp://host"), std::string("/dev/ttyUSB1\n"),
                                  std::string("tcp://a:1\ntcp://b:2\n"), std::string(1025, 'x')}) {
    write("COM3", text);
    std::string device;
    EXPECT_EQ(ResolvePortName("COM3", device, where), ERROR_INVALID_NAME) << text.substr(0, 40);
    EXPECT_NE(AddressProblem(device), "") << device;
    EXPECT_FALSE(device.empty() || device.front() == '/') << device;
  }
  EXPECT_EQ(PublishedAddress(where, "COM3"), "(entry larger than 1 KiB)");
  // A link stays a device; typed addresses need no entry.
  ASSERT_EQ(PublishPortLink(where, "COM4", Dev("ttyUSB1")), 0);
  EXPECT_EQ(Resolve("COM4"), Dev("ttyUSB1"));
  EXPECT_EQ(PublishedAddress(where, "COM4"), "");
  EXPECT_EQ(Resolve("tcp://[::1]:2000"), "tcp://[::1]:2000");
  EXPECT_EQ(Resolve("gpsd://bad host"), "error 123");

  EXPECT_EQ(PublishPortAddress(where, "COM5", "tcp://host"), ERROR_INVALID_NAME);
  EXPECT_FALSE(fs::exists(where.linkFolder + "/COM5"));
  EXPECT_EQ(PublishPortAddress({}, "COM5", "tcp://host:1"), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(PublishPortAddress(where, "COMX", "tcp://host:1"), ERROR_INVALID_PARAMETER);
  // An address replaces a link in one step, and goes as a link goes.
  ASSERT_EQ(PublishPortAddress(where, "COM4", "tcp://10.0.0.2:4001"), 0);
  EXPECT_EQ(Resolve("COM4"), "tcp://10.0.0.2:4001");
  ASSERT_EQ(UnpublishPortLink(where, "COM4"), 0);
  EXPECT_EQ(PublishedAddress(where, "COM4"), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(where.linkFolder), fs::directory_iterator()), 3)
      << "no temporary file is left";
}

TEST_F(SerialPortNames, OpenGoesThroughTheUsersLinkFolder) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = runtime ? runtime : "";
  setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
  const PortLocations real = DefaultPortLocations();
  EXPECT_EQ(real.linkFolder, root + "/gpsdesk/ports");
  serial_test::PtyPair pty;
  ASSERT_EQ(PublishPortLink(real, "COM15", pty.SlavePath()), 0);
  CSerialLink link;
  EXPECT_EQ(link.Open("COM15", 2048, 2048), 0);
  EXPECT_EQ(CSerialLink::ProbePort("COM15"), PortInUse);

  unsetenv("XDG_RUNTIME_DIR");
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    EXPECT_EQ(DefaultLinkFolder(), std::string(home) + "/.local/state/gpsdesk/ports");
  }
  if (runtime) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

}  // namespace
