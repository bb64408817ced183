// What the Setup COM Port dialog says of each port name, from a made-up port
// list and made-up facts.

#include "ports/device_details.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_diagnosis_facts.h"

namespace {

using namespace ports;
using ports_test::FakeDiagnosisFacts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kById = "/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_GNSS_receiver-if00";

class Describing : public ::testing::Test {
 protected:
  void SetUp() override {
    facts.AddNode("/dev/ttyACM0", 166, 0);
    facts.AddNode("/dev/ttyUSB0", 188, 0);
    facts.AddNode("/dev/rfcomm0", 216, 0);
    facts.AddNode("/dev/pts/4", 136, 4);
    facts.AddById(kById, "/dev/ttyACM0");
    facts.ttys["ttyACM0"] = ports_test::UsbTty("cdc_acm", 0x1546, 0x01a8);
    facts.ttys["ttyUSB0"] = ports_test::UsbTty("ch341-uart", 0x1a86, 0x7523);

    DeviceDetails receiver;
    receiver.device = "/dev/ttyACM0";
    receiver.manufacturer = "u-blox AG - www.u-blox.com";
    receiver.product = "u-blox GNSS receiver";
    receiver.serialNumber = "0123";
    receiver.vendorId = 0x1546;
    receiver.productId = 0x01a8;
    // Without USB strings the toolkit shows the hex ids instead.
    DeviceDetails adapter;
    adapter.device = "/dev/ttyUSB0";
    adapter.manufacturer = "1a86";
    adapter.product = "7523";
    adapter.vendorId = 0x1a86;
    adapter.productId = 0x7523;
    devices = {receiver, adapter};
    CompleteDetails(devices, facts);
  }
  PortDescription Describe(const std::string& name, const std::string& device, bool linked = false) {
    return DescribePort({name, device, linked}, devices, facts);
  }

  FakeDiagnosisFacts facts;
  std::vector<DeviceDetails> devices;
};

TEST_F(Describing, AReceiverShowsItsStableNameMakerProductIdsSerialAndDriver) {
  EXPECT_EQ(devices[0].byId, kById);
  EXPECT_EQ(devices[0].driver, "cdc_acm");
  EXPECT_EQ(devices[1].byId, "");
  const PortDescription d = Describe("COM2", "/dev/ttyACM0");
  EXPECT_EQ(d.deviceLine, "COM2 is /dev/ttyACM0");
  EXPECT_THAT(d.details, ElementsAre(std::string("Stable name: ") + kById,
                                     "Maker: u-blox AG - www.u-blox.com", "Product: u-blox GNSS receiver",
                                     "USB id: 1546:01a8", "Serial number: 0123", "Driver: cdc_acm"));
}

TEST_F(Describing, WhatTheDeviceDoesNotKnowIsLeftOut) {
  const PortDescription d = Describe("COM1", "/dev/ttyUSB0");
  EXPECT_EQ(d.deviceLine, "COM1 is /dev/ttyUSB0");
  EXPECT_THAT(d.details, ElementsAre("USB id: 1a86:7523", "Driver: ch341-uart"));

  // A device the port list does not know (a Bluetooth link).
  EXPECT_THAT(Describe("COM3", "/dev/rfcomm0").details, ElementsAre("No further details known"));
}

TEST_F(Describing, FreeNamesSimulatorLinksAndLinksToRealDevices) {
  PortDescription d = Describe("COM5", "");
  EXPECT_EQ(d.deviceLine, "COM5: no device");
  EXPECT_THAT(d.details, IsEmpty());

  d = Describe("COM3", "/dev/pts/4", true);
  EXPECT_EQ(d.deviceLine, "COM3 is /dev/pts/4");
  EXPECT_THAT(d.details, ElementsAre("(published by gpsdesk-sim)"));

  // A pseudo-terminal reached through a link of its own is the simulator's too.
  facts.links["/tmp/sim-pty"] = "/dev/pts/4";
  EXPECT_THAT(Describe("COM3", "/tmp/sim-pty", true).details, ElementsAre("(published by gpsdesk-sim)"));

  // A user's link to a real device shows that device.
  d = Describe("COM4", kById, true);
  EXPECT_EQ(d.deviceLine, "COM4 is /dev/ttyACM0");
  ASSERT_GE(d.details.size(), 2u);
  EXPECT_EQ(d.details[0], std::string("Published link to ") + kById);
  EXPECT_EQ(d.details[1], std::string("Stable name: ") + kById);

  d = Describe("COM3", "/dev/pts/9", true);
  EXPECT_EQ(d.deviceLine, "COM3: no device");
  EXPECT_THAT(d.details, ElementsAre("Published link to /dev/pts/9, which does not exist"));
}

TEST_F(Describing, StringsFromTheDeviceCannotBreakTheLines) {
  devices[0].product = "GNSS\nreceiver\x1b[2J";
  const PortDescription d = Describe("COM2", "/dev/ttyACM0");
  EXPECT_EQ(d.details[2], "Product: GNSS?receiver?[2J");
}

}  // namespace
