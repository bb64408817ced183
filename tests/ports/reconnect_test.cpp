// Following the plug: when a notification means the device has gone, how a
// device that comes back is recognised (from made-up udev events and a
// made-up machine), under which name it is opened again, how long a device
// that refuses to open is tried, and the lines the log gets about the gap.

#include "ports/reconnect.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "fake_diagnosis_facts.h"
#include "ports/hotplug.h"
#include "serial/serial_link.h"

namespace {

namespace fs = std::filesystem;
using ports::Reconnector;
using ports::UdevProperties;

TEST(SourceLost, OnlyAHungUpOrUnreadablePortIsGone) {
  using serial::EV_ERR;
  using serial::EV_RXCHAR;
  struct Case {
    const char* legend;
    std::uint32_t events;
    ports::LinkHealth health;
    bool lost;
  };
  for (const Case& c : {
           Case{"hang-up with the last bytes", EV_RXCHAR | EV_ERR, {true, true, false}, true},
           Case{"a network source whose reads fail", EV_ERR, {true, false, true}, true},
           Case{"reads fail on a notification that lost its EV_ERR", EV_RXCHAR, {true, false, true}, true},
           Case{"a framing error on a live line", EV_ERR, {true, false, false}, false},
           Case{"the console flush looks at no port", 0, {true, true, true}, false},
           Case{"a notification left over from a port closed since",
                EV_RXCHAR | EV_ERR,
                {false, false, true},
                false},
       }) {
    EXPECT_EQ(ports::SourceLost(c.events, c.health), c.lost) << c.legend;
  }
}

// A receiver with a serial number on USB interface 00 of the socket `path`.
UdevProperties Receiver(const std::string& serialNumber,
                        const std::string& path = "pci-0000:00:14.0-usb-0:2:1.0",
                        const std::string& port = "0") {
  const std::string serial = "GNSS_Receiver_" + serialNumber;
  return {{"ID_VENDOR_ID", "1546"},
          {"ID_MODEL_ID", "01a8"},
          {"ID_SERIAL", serial},
          {"ID_SERIAL_SHORT", serialNumber},
          {"ID_USB_INTERFACE_NUM", "00"},
          {"ID_PATH", path},
          {"DEVLINKS", "/dev/gps0 /dev/serial/by-id/usb-" + serial + "-if00-port" + port +
                           " /dev/serial/by-path/" + path + "-port" + port}};
}

// A cable without a serial number, as most CH340 cables are.
UdevProperties Cable(const std::string& path, const std::string& product = "7523") {
  return {{"ID_VENDOR_ID", "1a86"},
          {"ID_MODEL_ID", product},
          {"ID_SERIAL", "1a86_USB_Serial"},
          {"ID_USB_INTERFACE_NUM", "00"},
          {"ID_PATH", path},
          {"DEVLINKS", "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0"}};
}

ports::UdevEvent Add(const std::string& node, UdevProperties properties) {
  return {"add", node, std::move(properties)};
}

TEST(Hotplug, AReceiverWithASerialNumberIsKnownByItWhateverItsNumber) {
  const std::optional<ports::UsbIdentity> lost = ports::UsbIdentityOf(Receiver("A1B2"));
  ASSERT_TRUE(lost);
  EXPECT_TRUE(lost->hasSerialNumber);
  EXPECT_EQ(lost->byId, "/dev/serial/by-id/usb-GNSS_Receiver_A1B2-if00-port0");

  EXPECT_TRUE(ports::IsReturnOf(*lost, Add("/dev/ttyACM0", Receiver("A1B2"))));
  // Renumbered, and in another socket: still the same receiver.
  EXPECT_TRUE(
      ports::IsReturnOf(*lost, Add("/dev/ttyACM3", Receiver("A1B2", "pci-0000:00:14.0-usb-0:4:1.0"))));
  // Another receiver of the same make (same vid:pid) is not.
  EXPECT_FALSE(ports::IsReturnOf(*lost, Add("/dev/ttyACM0", Receiver("C3D4"))));
  // Its second interface, and another port of the same interface, are not.
  UdevProperties second = Receiver("A1B2");
  second["ID_USB_INTERFACE_NUM"] = "01";
  EXPECT_FALSE(ports::IsReturnOf(*lost, Add("/dev/ttyACM1", second)));
  EXPECT_FALSE(ports::IsReturnOf(*lost, Add("/dev/ttyUSB1", Receiver("A1B2", lost->physicalPath, "1"))));
  // Only an arrival counts.
  for (const char* action : {"remove", "change", "bind"}) {
    EXPECT_FALSE(ports::IsReturnOf(*lost, {action, "/dev/ttyACM0", Receiver("A1B2")})) << action;
  }
  EXPECT_FALSE(ports::IsReturnOf(*lost, Add("", Receiver("A1B2"))));
}

TEST(Hotplug, ACableWithoutSerialNumberIsKnownByItsSocket) {
  const std::optional<ports::UsbIdentity> lost = ports::UsbIdentityOf(Cable("pci-0000:00:14.0-usb-0:2:1.0"));
  ASSERT_TRUE(lost);
  EXPECT_FALSE(lost->hasSerialNumber);
  EXPECT_TRUE(ports::IsReturnOf(*lost, Add("/dev/ttyUSB1", Cable("pci-0000:00:14.0-usb-0:2:1.0"))));
  // The same make in another socket, another make in the same socket.
  EXPECT_FALSE(ports::IsReturnOf(*lost, Add("/dev/ttyUSB0", Cable("pci-0000:00:14.0-usb-0:3:1.0"))));
  EXPECT_FALSE(ports::IsReturnOf(*lost, Add("/dev/ttyUSB0", Cable("pci-0000:00:14.0-usb-0:2:1.0", "5523"))));

  // What udev does not know as a USB device cannot be recognised.
  EXPECT_FALSE(ports::UsbIdentityOf({{"ID_PATH", "platform-serial8250"}}));
  EXPECT_FALSE(ports::UsbIdentityOf({{"ID_VENDOR_ID", "1a86"}, {"ID_MODEL_ID", "7523"}}));
}

// A machine made up for the wait: port names, devices, links, udev.
class FakeReturnFacts : public ports::ReturnFacts {
 public:
  std::map<std::string, std::string> names;  // "COM1" -> device, in this order of numbers
  std::map<std::string, std::string> links;  // path -> what it leads to
  std::set<std::string> devices;             // nodes that exist
  std::map<std::string, ports::LinkStamp> published;
  std::map<std::string, UdevProperties> udev;

  std::vector<ports::NamedDevice> Names() override {
    std::vector<ports::NamedDevice> out;
    for (const auto& [name, device] : names) out.push_back({name, RealPath(device)});
    return out;
  }
  std::string Resolve(const std::string& portName) override {
    if (!portName.empty() && portName[0] == '/') return RealPath(portName);
    const auto it = names.find(portName);
    return it == names.end() ? std::string() : RealPath(it->second);
  }
  std::optional<ports::LinkStamp> PublishedLink(const std::string& portName) override {
    const auto it = published.find(portName);
    if (it == published.end()) return std::nullopt;
    return it->second;
  }
  UdevProperties Properties(const std::string& device) override {
    const auto it = udev.find(device);
    return it == udev.end() ? UdevProperties{} : it->second;
  }
  std::string RealPath(const std::string& path) override {
    const auto it = links.find(path);
    const std::string real = it == links.end() ? path : it->second;
    return devices.count(real) ? real : std::string();
  }
};

constexpr std::int64_t kLostAt = 100000;

TEST(Reconnector, ARenumberedReceiverIsOpenedUnderTheNameThatLeadsToItNow) {
  FakeReturnFacts m;
  const std::string byId = "/dev/serial/by-id/usb-GNSS_Receiver_A1B2-if00-port0";
  m.devices = {"/dev/ttyUSB0"};
  m.names = {{"COM1", "/dev/ttyUSB0"}, {"COM2", ""}};
  m.links[byId] = "/dev/ttyUSB0";
  m.udev["/dev/ttyUSB0"] = Receiver("A1B2");
  const ports::FollowedPort opened = ports::DescribeOpenedPort("COM1", m);
  ASSERT_TRUE(opened.usb);
  EXPECT_EQ(opened.device, "/dev/ttyUSB0");

  Reconnector r;
  r.Follow(opened, kLostAt);
  // Gone: the node and its by-id name.
  m.devices.clear();
  m.links.erase(byId);
  EXPECT_EQ(r.Check(m), std::nullopt);

  // Another receiver of the same make takes ttyUSB0; ours comes back as ttyUSB1.
  m.devices = {"/dev/ttyUSB0", "/dev/ttyUSB1"};
  m.names = {{"COM1", "/dev/ttyUSB0"}, {"COM2", "/dev/ttyUSB1"}};
  m.udev["/dev/ttyUSB0"] = Receiver("C3D4");
  EXPECT_EQ(r.Check(m, Add("/dev/ttyUSB0", Receiver("C3D4"))), std::nullopt);
  m.udev["/dev/ttyUSB1"] = Receiver("A1B2");
  m.links[byId] = "/dev/ttyUSB1";
  EXPECT_EQ(r.Check(m, Add("/dev/ttyUSB1", Receiver("A1B2"))), "COM2");
  EXPECT_EQ(r.Check(m), "COM2");  // the retry finds it too, by its by-id name

  // The same without by-id names: the udev database tells the devices apart.
  ports::FollowedPort noLink = opened;
  noLink.usb->byId.clear();
  Reconnector plain;
  plain.Follow(noLink, kLostAt);
  EXPECT_EQ(plain.Check(m), "COM2");
  m.udev.erase("/dev/ttyUSB1");
  EXPECT_EQ(plain.Check(m), std::nullopt);

  // Back under its old number, the old name comes first.
  m.names = {{"COM1", "/dev/ttyUSB1"}, {"COM2", "/dev/ttyUSB1"}};
  EXPECT_EQ(r.Check(m), "COM1");
}

TEST(Reconnector, APublishedPseudoTerminalIsOpenedOnlyOnceItIsPublishedAnew) {
  FakeReturnFacts m;
  m.devices = {"/dev/pts/7"};
  m.names = {{"COM9", "/dev/pts/7"}};
  m.published["COM9"] = {4711, 1};
  const ports::FollowedPort opened = ports::DescribeOpenedPort("COM9", m);
  EXPECT_FALSE(opened.usb);
  ASSERT_TRUE(opened.link);

  Reconnector r;
  r.Follow(opened, kLostAt);
  m.devices.clear();  // the simulator was killed: its link leads nowhere
  EXPECT_EQ(r.Check(m), std::nullopt);
  // Some other program's terminal gets number 7: the old link leads to it.
  m.devices = {"/dev/pts/7"};
  EXPECT_EQ(r.Check(m), std::nullopt);
  EXPECT_EQ(r.Check(m, Add("/dev/pts/7", {})), std::nullopt);
  // The simulator ran again and published COM9 anew.
  m.names["COM9"] = "/dev/pts/8";
  m.devices.insert("/dev/pts/8");
  m.published["COM9"] = {4712, 2};
  EXPECT_EQ(r.Check(m), "COM9");
  // Taken back again (the simulator stopped cleanly): nothing to open.
  m.published.clear();
  EXPECT_EQ(r.Check(m), std::nullopt);

  // A pseudo-terminal opened by its own path is never opened again.
  m.devices = {"/dev/pts/3"};
  Reconnector path;
  path.Follow(ports::DescribeOpenedPort("/dev/pts/3", m), kLostAt);
  EXPECT_EQ(path.Check(m), std::nullopt);
}

TEST(Reconnector, OtherNamesWaitForTheirDeviceAndAddressesAreTried) {
  FakeReturnFacts m;
  Reconnector com;
  com.Follow({"COM4", "/dev/ttyS3", std::nullopt, std::nullopt}, kLostAt);
  EXPECT_EQ(com.Check(m), std::nullopt);
  m.devices = {"/dev/ttyS3"};
  m.names = {{"COM4", "/dev/ttyS3"}};
  EXPECT_EQ(com.Check(m), "COM4");

  Reconnector address;
  address.Follow({"tcp://192.0.2.7:2000", "", std::nullopt, std::nullopt}, kLostAt);
  EXPECT_EQ(address.Check(m), "tcp://192.0.2.7:2000");

  // The user chose otherwise: nothing more is opened.
  address.Stop();
  EXPECT_FALSE(address.Waiting());
  EXPECT_EQ(address.Check(m), std::nullopt);
}

TEST(Reconnector, ARefusingDeviceIsTriedForAFewSecondsThenGivenUp) {
  Reconnector r;
  r.Follow({"COM4", "/dev/ttyACM0", std::nullopt, std::nullopt}, kLostAt);
  constexpr serial::Status kRefused = serial::ERROR_ACCESS_DENIED;
  const std::int64_t back = kLostAt + 20000;
  EXPECT_EQ(r.Tried(serial::ERROR_FILE_NOT_FOUND, back - 1000), Reconnector::Next::KeepWaiting);
  // ModemManager probes it first...
  EXPECT_EQ(r.Tried(kRefused, back), Reconnector::Next::KeepWaiting);
  EXPECT_EQ(r.Tried(kRefused, back + Reconnector::kRefusalPatienceMs - 1), Reconnector::Next::KeepWaiting);
  // ...and lets go, but the device vanished again meanwhile: a new start.
  EXPECT_EQ(r.Tried(serial::ERROR_FILE_NOT_FOUND, back + 7000), Reconnector::Next::KeepWaiting);
  EXPECT_EQ(r.Tried(kRefused, back + 8000), Reconnector::Next::KeepWaiting);
  EXPECT_EQ(r.Tried(kRefused, back + 8000 + Reconnector::kRefusalPatienceMs), Reconnector::Next::GiveUp);
  EXPECT_FALSE(r.Waiting());

  Reconnector ok;
  ok.Follow({"COM4", "/dev/ttyACM0", std::nullopt, std::nullopt}, kLostAt);
  EXPECT_EQ(ok.Tried(kRefused, back), Reconnector::Next::KeepWaiting);
  EXPECT_EQ(ok.Tried(serial::ERROR_SUCCESS, back + 2000), Reconnector::Next::Reconnected);
  EXPECT_FALSE(ok.Waiting());
  EXPECT_EQ(ok.LostAtMs(), kLostAt);
}

// The links the simulator publishes, on the real file system: publishing
// anew is told from the link that stayed, and a link whose target is gone
// leads nowhere.
TEST(Reconnector, RepublishedLinkIsToldApartOnTheMachine) {
  char pattern[] = "/tmp/gpsdesk-follow-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path root = pattern;
  serial::PortLocations where;
  where.linkFolder = (root / "ports").string();
  where.devFolder = (root / "dev").string();
  where.ttyClassFolder = (root / "sys").string();
  fs::create_directories(where.devFolder);
  const std::string target = (root / "dev/pts-stand-in").string();
  std::ofstream{target};
  ports::SysDiagnosisFacts diagnosis;
  ports::SysReturnFacts facts(where, diagnosis);

  ASSERT_EQ(serial::PublishPortLink(where, "COM9", target), 0);
  const std::optional<ports::LinkStamp> first = facts.PublishedLink("COM9");
  ASSERT_TRUE(first);
  EXPECT_EQ(facts.Resolve("COM9"), fs::canonical(target).string());
  EXPECT_EQ(facts.PublishedLink("COM9"), first);
  ASSERT_EQ(serial::PublishPortLink(where, "COM9", target), 0);
  EXPECT_NE(facts.PublishedLink("COM9"), first);
  EXPECT_EQ(facts.PublishedLink("COM8"), std::nullopt);

  fs::remove(target);
  EXPECT_EQ(facts.Resolve("COM9"), "");

  // A name published as a network address stays that address: the wait
  // tries it, since only connecting tells whether the source is back.
  ASSERT_EQ(serial::PublishPortAddress(where, "COM7", "tcp://127.0.0.1:2000"), 0);
  EXPECT_EQ(facts.Resolve("COM7"), "tcp://127.0.0.1:2000");
  ports::Reconnector wait;
  wait.Follow(ports::DescribeOpenedPort("COM7", facts), 0);
  EXPECT_EQ(wait.Check(facts), std::optional<std::string>("COM7"));
  fs::remove_all(root);
}

TEST(GapNotes, TheLogSaysWhenTheDeviceWentAndCameBack) {
  std::tm at{};
  at.tm_hour = 12;
  at.tm_min = 34;
  at.tm_sec = 56;
  EXPECT_EQ(ports::RemovedNote("COM3", at), "-- COM3 device removed at 12:34:56 --\r\n");
  at.tm_min = 35;
  at.tm_sec = 10;
  EXPECT_EQ(ports::ReconnectedNote("COM3", "COM3", at, 14),
            "-- COM3 reconnected at 12:35:10 after 14 s --\r\n");
  EXPECT_EQ(ports::ReconnectedNote("COM3", "COM4", at, 0),
            "-- COM3 reconnected as COM4 at 12:35:10 after 0 s --\r\n");
  // A name is shown, never obeyed: no line end inside a note.
  EXPECT_EQ(ports::RemovedNote("/tmp/a\r\nb", at), "-- /tmp/a??b device removed at 12:35:10 --\r\n");
}

}  // namespace
