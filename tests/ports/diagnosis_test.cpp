// Why a port did not open, explained from made-up facts: every cause with
// its summary and the commands it offers, and the order in which the causes
// are looked for.

#include "ports/diagnosis.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_diagnosis_facts.h"
#include "ports/open_history.h"

namespace {

using namespace ports;
using ports_test::FakeDiagnosisFacts;
using ports_test::UsbTty;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr const char* kLinks = "/run/user/1000/gpsdesk/ports";
constexpr const char* kReceiverById =
    "/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_GNSS_receiver-if00";

std::string AllText(const Diagnosis& d) { return DiagnosisText(d); }

class Diagnosing : public ::testing::Test {
 protected:
  void SetUp() override {
    facts.AddNode("/dev/ttyUSB0", 188, 0);
    facts.AddNode("/dev/ttyACM0", 166, 0);
    attempt.portName = "COM2";
    attempt.devicePath = "/dev/ttyUSB0";
    attempt.failure = OpenFailure::Refused;
    attempt.available = {{"COM1", "/dev/ttyACM0"}, {"COM2", "/dev/ttyUSB0"}};
    attempt.linkFolder = kLinks;
  }
  Diagnosis Run() { return Diagnose(attempt, facts); }
  void Missing(const std::string& portName) {
    attempt.portName = portName;
    attempt.devicePath.clear();
    attempt.failure = OpenFailure::NoDevice;
  }

  FakeDiagnosisFacts facts;
  OpenAttempt attempt;
};

// --- permission ---

TEST_F(Diagnosing, AUserOutsideTheDevicesGroupIsToldToJoinIt) {
  facts.nodes["/dev/ttyUSB0"].usable = false;
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::NotInGroup);
  EXPECT_EQ(d.summary, "Permission denied: /dev/ttyUSB0 belongs to group dialout, and alice is not in it");
  EXPECT_THAT(d.commands, ElementsAre("sudo usermod -aG dialout alice"));
  EXPECT_THAT(AllText(d), HasSubstr("crw-rw----, group dialout"));

  // The group is the device's own (uucp on some systems), and a user the
  // database does not know is named by the shell.
  facts.nodes["/dev/ttyUSB0"].groupId = 987;
  facts.nodes["/dev/ttyUSB0"].groupName = "uucp";
  facts.user.clear();
  d = Run();
  EXPECT_EQ(d.cause, Cause::NotInGroup);
  EXPECT_THAT(d.commands, ElementsAre("sudo usermod -aG uucp \"$USER\""));
}

TEST_F(Diagnosing, JoiningTheGroupAfterThisLoginBeganIsToldApart) {
  facts.nodes["/dev/ttyUSB0"].usable = false;
  facts.databaseGroups["alice"] = {1000, 20};  // id -nG alice: alice dialout
  facts.processGroups = {1000};                // id -nG: alice
  const Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::LoginPredatesGroup);
  EXPECT_EQ(d.summary,
            "Permission denied: alice is in group dialout, but this login began before joining it");
  EXPECT_THAT(AllText(d), HasSubstr("id -nG alice"));
  EXPECT_THAT(AllText(d), HasSubstr("Log out of every session"));
  EXPECT_THAT(d.commands, ElementsAre("sg dialout -c gpsdesk"));
}

TEST_F(Diagnosing, NoGroupIsSuggestedWhenNoGroupGivesAccess) {
  NodeFacts& node = facts.nodes["/dev/ttyUSB0"];
  node.usable = false;
  node.mode = 0600;  // crw-------: the group may not use it
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::NoAccess);
  EXPECT_EQ(d.summary, "Permission denied: /dev/ttyUSB0 is crw-------, group dialout");
  EXPECT_THAT(d.commands, ElementsAre("udevadm info -q property -n /dev/ttyUSB0"));

  node.mode = 0660;  // root's group: nobody should join it
  node.groupId = 0;
  node.groupName = "root";
  d = Run();
  EXPECT_EQ(d.cause, Cause::NoAccess);
  EXPECT_THAT(AllText(d), Not(HasSubstr("usermod")));

  // In the group and still refused: an ACL or a security module.
  node.groupId = 20;
  node.groupName = "dialout";
  node.hasAcl = true;
  facts.processGroups = {1000, 20};
  d = Run();
  EXPECT_EQ(d.cause, Cause::NoAccess);
  EXPECT_EQ(d.summary, "Permission denied: /dev/ttyUSB0 is crw-rw----+, group dialout");
  EXPECT_THAT(d.commands, ElementsAre("getfacl /dev/ttyUSB0"));
}

TEST_F(Diagnosing, AReceiverOfOurUdevRuleWithoutItsAccessIsToldToReplug) {
  facts.nodes["/dev/ttyACM0"].usable = false;
  facts.ttys["ttyACM0"] = UsbTty("cdc_acm", 0x1546, 0x01a8);
  facts.ruleFiles = {{"60-gpsdesk.rules", "/usr/lib/udev/rules.d/60-gpsdesk.rules", false}};
  attempt.portName = "COM1";
  attempt.devicePath = "/dev/ttyACM0";
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::NotInGroup);
  EXPECT_THAT(d.commands, ElementsAre("sudo usermod -aG dialout alice",
                                      "sudo udevadm trigger --action=change --subsystem-match=tty"));

  // Not for a generic adapter, nor without the rule, nor when an ACL is set.
  facts.ttys["ttyACM0"] = UsbTty("cdc_acm", 0x1a86, 0x7523);
  EXPECT_EQ(Run().commands.size(), 1u);
  facts.ttys["ttyACM0"] = UsbTty("cdc_acm", 0x1546, 0x01a8);
  facts.ruleFiles[0].masked = true;
  EXPECT_EQ(Run().commands.size(), 1u);
  facts.ruleFiles[0].masked = false;
  facts.nodes["/dev/ttyACM0"].hasAcl = true;
  EXPECT_EQ(Run().commands.size(), 1u);
}

// --- busy ---

TEST_F(Diagnosing, AVisibleHolderIsNamedWithItsPid) {
  attempt.holder = Holder{4711, "minicom", HeldVia::OpenFile};
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::HeldBy);
  EXPECT_EQ(d.summary, "COM2 (/dev/ttyUSB0) is held by minicom, pid 4711");
  EXPECT_THAT(AllText(d), HasSubstr("has the device open"));
  EXPECT_THAT(d.commands, ElementsAre("kill 4711"));

  attempt.holder->via = HeldVia::LockFile;
  EXPECT_THAT(AllText(Run()), HasSubstr("holds the port's lock file"));

  // Permission comes first: the holder may be one the user cannot reach.
  facts.nodes["/dev/ttyUSB0"].usable = false;
  EXPECT_EQ(Run().cause, Cause::NotInGroup);
}

TEST_F(Diagnosing, ModemManagerProbingAModemLikeDeviceIsExplained) {
  attempt.portName = "COM1";
  attempt.devicePath = "/dev/ttyACM0";
  ports::TtyFacts modem = UsbTty("cdc_acm", 0x2c7c, 0x0125);
  modem.usbDevice.ttys = {"ttyACM0", "ttyACM1"};
  facts.ttys["ttyACM0"] = modem;
  facts.processes.insert("ModemManager");

  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::ModemManager);
  EXPECT_EQ(d.summary, "ModemManager is probably probing COM1 (/dev/ttyACM0) as a modem");
  EXPECT_THAT(AllText(d), HasSubstr("CDC-ACM modem interface"));
  EXPECT_THAT(
      d.commands,
      ElementsAre("echo 'ATTRS{idVendor}==\"2c7c\", ATTRS{idProduct}==\"0125\", "
                  "ENV{ID_MM_DEVICE_IGNORE}=\"1\"' | sudo tee /etc/udev/rules.d/61-gpsdesk-local.rules",
                  "sudo udevadm control --reload", "sudo systemctl disable --now ModemManager"));

  // Known on the bus alone (a process list hidden from this user).
  facts.processes.erase("ModemManager");
  facts.busNames.insert("org.freedesktop.ModemManager1");
  EXPECT_EQ(Run().cause, Cause::ModemManager);

  // Not running: someone else holds it.
  facts.busNames.clear();
  EXPECT_EQ(Run().cause, Cause::HeldByUnseen);

  // The bus is not asked about a device ModemManager would leave alone.
  facts.busQuestions = 0;
  facts.ttys["ttyACM0"] = UsbTty("cdc_acm", 0x2c7c, 0x0125);  // a single port
  EXPECT_EQ(Run().cause, Cause::HeldByUnseen);
  EXPECT_EQ(facts.busQuestions, 0);
  facts.ttys["ttyACM0"] = modem;

  // Named as the holder when it can be seen (a root session).
  attempt.holder = Holder{812, "ModemManager", HeldVia::OpenFile};
  d = Run();
  EXPECT_EQ(d.cause, Cause::ModemManager);
  EXPECT_EQ(d.summary, "COM1 (/dev/ttyACM0) is held by ModemManager, which probes it as a modem");
}

TEST(ModemManagerProbes, FollowsItsStrictFilter) {
  ports::TtyFacts single = UsbTty("cdc_acm", 0x2c7c, 0x0125);  // one port, no network
  EXPECT_FALSE(ModemManagerProbes(single));
  ports::TtyFacts twoPorts = single;
  twoPorts.usbDevice.ttys = {"ttyACM0", "ttyACM1"};
  EXPECT_TRUE(ModemManagerProbes(twoPorts));
  ports::TtyFacts network = single;
  network.usbDevice.netInterfaces = 1;
  EXPECT_TRUE(ModemManagerProbes(network));
  ports::TtyFacts noAt = twoPorts;
  noAt.interfaceProtocol = 0;  // a CDC-ACM port without AT commands
  EXPECT_FALSE(ModemManagerProbes(noAt));

  EXPECT_TRUE(ModemManagerProbes(UsbTty("option1", 0x05c6, 0x9000)));  // modem card drivers
  EXPECT_TRUE(ModemManagerProbes(UsbTty("qcserial", 0x05c6, 0x9000)));
  EXPECT_TRUE(ModemManagerProbes(UsbTty("cdc_acm", 0x1199, 0x68c0)));  // vendors it knows
  EXPECT_TRUE(ModemManagerProbes(UsbTty("cdc_acm", 0x1546, 0x01a4)));
  EXPECT_FALSE(ModemManagerProbes(UsbTty("cdc_acm", 0x1546, 0x01a8)));  // its own rule ignores these
  EXPECT_FALSE(ModemManagerProbes(UsbTty("ch341-uart", 0x1a86, 0x7523)));
  EXPECT_FALSE(ModemManagerProbes(UsbTty("ftdi_sio", 0x0403, 0x6001)));

  ports::TtyFacts ignored = twoPorts;
  ignored.udev["ID_MM_DEVICE_IGNORE"] = "1";
  EXPECT_FALSE(ModemManagerProbes(ignored));
  ignored.udev = {{"ID_MM_PORT_IGNORE", "1"}};
  EXPECT_FALSE(ModemManagerProbes(ignored));
  ignored.udev = {{"ID_MM_CANDIDATE", "1"}};  // every tty has it; it means nothing
  EXPECT_TRUE(ModemManagerProbes(ignored));

  ports::TtyFacts uart;
  uart.known = true;
  uart.driver = "serial8250";
  EXPECT_FALSE(ModemManagerProbes(uart));
}

TEST_F(Diagnosing, GpsdIsSuspectedWhenItRunsAndNobodyElseIsSeen) {
  facts.processes.insert("gpsd");
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::Gpsd);
  EXPECT_EQ(d.summary, "gpsd is running and probably holds COM2 (/dev/ttyUSB0)");
  EXPECT_THAT(d.commands, ElementsAre("sudo systemctl stop gpsd.socket gpsd.service",
                                      "sudo sed -i 's/^USBAUTO=.*/USBAUTO=\"false\"/' /etc/default/gpsd"));

  attempt.holder = Holder{900, "gpsd", HeldVia::OpenFile};
  EXPECT_EQ(Run().summary, "COM2 (/dev/ttyUSB0) is held by gpsd");

  // A probing ModemManager is the likelier holder of a modem-like device.
  attempt.holder.reset();
  ports::TtyFacts modem = UsbTty("option1", 0x05c6, 0x9000);
  facts.ttys["ttyUSB0"] = modem;
  facts.processes.insert("ModemManager");
  EXPECT_EQ(Run().cause, Cause::ModemManager);
}

TEST_F(Diagnosing, AnUnseenHolderIsNamedByFuserAsRoot) {
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::HeldByUnseen);
  EXPECT_EQ(d.summary, "COM2 (/dev/ttyUSB0) is in use by another program");
  EXPECT_THAT(d.commands, ElementsAre("sudo fuser -v /dev/ttyUSB0"));

  // A path from a published link goes into the command quoted, and into the
  // text without its control characters.
  facts.AddNode("/tmp/my port's\tend", 136, 4);
  attempt.portName = "/tmp/my port's\tend";
  attempt.devicePath = attempt.portName;
  d = Run();
  EXPECT_EQ(d.summary, "/tmp/my port's?end is in use by another program");
  EXPECT_THAT(d.commands, ElementsAre("sudo fuser -v '/tmp/my port'\\''s?end'"));
}

// --- no such device ---

TEST_F(Diagnosing, AFreeNameListsTheNamesThatLeadToADevice) {
  Missing("COM5");
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::NoDevice);
  EXPECT_EQ(d.summary, "COM5 leads to no device; devices now: COM1 /dev/ttyACM0, COM2 /dev/ttyUSB0");
  EXPECT_THAT(AllText(d),
              HasSubstr("The names that lead to a device now:\nCOM1: /dev/ttyACM0\nCOM2: /dev/ttyUSB0"));
  EXPECT_THAT(d.commands, ElementsAre("ls -l /dev/serial/by-id/"));

  attempt.available = {
      {"COM1", "/dev/ttyACM0"}, {"COM2", "/dev/ttyUSB0"}, {"COM3", "/dev/ttyUSB1"}, {"COM4", "/dev/ttyS0"}};
  EXPECT_EQ(
      Run().summary,
      "COM5 leads to no device; devices now: COM1 /dev/ttyACM0, COM2 /dev/ttyUSB0, COM3 /dev/ttyUSB1, ...");

  attempt.available.clear();
  d = Run();
  EXPECT_EQ(d.summary, "COM5 leads to no device; no serial device is connected");
  EXPECT_THAT(d.commands, ElementsAre("sudo dmesg | tail -n 20"));

  // A path given directly.
  Missing("/dev/ttyUSB7");
  attempt.devicePath = "/dev/ttyUSB7";
  EXPECT_EQ(Run().summary, "/dev/ttyUSB7 does not exist; no serial device is connected");
}

TEST_F(Diagnosing, ARenumberedReceiverIsFoundByItsStableName) {
  // COM2 opened the receiver as ttyUSB0; it came back as ttyUSB1, now COM1.
  facts.nodes.erase("/dev/ttyUSB0");
  facts.AddNode("/dev/ttyUSB1", 188, 1);
  facts.AddById(kReceiverById, "/dev/ttyUSB1");
  Missing("COM2");
  attempt.available = {{"COM1", "/dev/ttyUSB1"}};
  attempt.lastGood = RememberedDevice{kReceiverById, "/dev/ttyUSB0"};

  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::Renumbered);
  EXPECT_EQ(d.summary, "The receiver is now /dev/ttyUSB1 (COM1), same " + std::string(kReceiverById));
  EXPECT_THAT(AllText(d), HasSubstr("Choose COM1 in Setup COM Port, or link the stable name as COM2"));
  EXPECT_THAT(d.commands, ElementsAre("mkdir -p /run/user/1000/gpsdesk/ports",
                                      "ln -sfn " + std::string(kReceiverById) + " " + kLinks + "/COM2"));

  // A path given directly cannot be linked: open the stable name instead.
  Missing("/dev/ttyUSB0");
  attempt.devicePath = "/dev/ttyUSB0";
  d = Run();
  EXPECT_EQ(d.cause, Cause::Renumbered);
  EXPECT_THAT(d.commands, IsEmpty());
  EXPECT_THAT(AllText(d), HasSubstr("Open " + std::string(kReceiverById) + " instead"));

  // The receiver itself is gone: nothing to point at.
  facts.links.clear();
  EXPECT_EQ(Run().cause, Cause::NoDevice);
}

TEST_F(Diagnosing, AStableNameThatStillLeadsToTheNamedDeviceIsNoRenumbering) {
  facts.AddById(kReceiverById, "/dev/ttyUSB0");
  attempt.lastGood = RememberedDevice{kReceiverById, "/dev/ttyUSB0"};
  attempt.failure = OpenFailure::NoDevice;  // e.g. a UART-less node
  EXPECT_EQ(Run().cause, Cause::NoDevice);
}

TEST_F(Diagnosing, APublishedLinkWhoseTargetHasGoneIsToldToBeRemoved) {
  Missing("COM3");
  attempt.devicePath = "/dev/pts/7";
  attempt.linked = true;
  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::LinkTargetGone);
  EXPECT_EQ(d.summary, "COM3 is a published link to /dev/pts/7, which is gone");
  EXPECT_THAT(AllText(d), HasSubstr("gpsdesk-sim"));
  EXPECT_THAT(d.commands, ElementsAre("rm /run/user/1000/gpsdesk/ports/COM3"));

  attempt.devicePath = "/dev/ttyUSB4";
  d = Run();
  EXPECT_EQ(d.cause, Cause::LinkTargetGone);
  EXPECT_THAT(AllText(d), HasSubstr("unplugged or has another name"));

  // A node that vanished between finding the name and opening it.
  attempt.failure = OpenFailure::Refused;
  EXPECT_EQ(Run().cause, Cause::LinkTargetGone);
}

TEST_F(Diagnosing, BrlttyTakingAnAdapterIsExplainedWithItsFix) {
  Missing("COM3");
  facts.usbDevices = {{"1-2", 0x1a86, 0x7523, "", "USB Serial", "", {}, 0},
                      {"1-3", 0x1546, 0x01a8, "u-blox AG", "u-blox GNSS receiver", "", {"ttyACM0"}, 0}};
  facts.processes.insert("brltty");

  Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::Brltty);
  EXPECT_EQ(d.summary,
            "The QinHeng CH340 USB serial adapter (1a86:7523) has no serial device: brltty claims it");
  EXPECT_THAT(AllText(d), HasSubstr("\"USB Serial\""));
  EXPECT_THAT(AllText(d), HasSubstr("brltty is running."));
  EXPECT_THAT(d.commands, ElementsAre("sudo apt remove brltty"));

  // Its udev rule is evidence too, and is what to mask.
  facts.processes.erase("brltty");
  facts.ruleFiles = {{"85-brltty.rules", "/usr/lib/udev/rules.d/85-brltty.rules", false}};
  d = Run();
  EXPECT_EQ(d.cause, Cause::Brltty);
  EXPECT_THAT(AllText(d),
              HasSubstr("brltty's udev rule /usr/lib/udev/rules.d/85-brltty.rules is in effect."));
  EXPECT_THAT(d.commands,
              ElementsAre("sudo apt remove brltty", "sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules",
                          "sudo udevadm control --reload"));

  // A masked rule and no daemon: not brltty.
  facts.ruleFiles[0].masked = true;
  EXPECT_EQ(Run().cause, Cause::NoDevice);

  // An adapter that has its tty is not taken, whatever runs.
  facts.processes.insert("brltty");
  facts.usbDevices[0].ttys = {"ttyUSB0"};
  EXPECT_EQ(Run().cause, Cause::NoDevice);
}

TEST_F(Diagnosing, OtherFailuresKeepTheLinksWords) {
  attempt.failure = OpenFailure::Other;
  attempt.failureText = "the device refused the line settings";
  const Diagnosis d = Run();
  EXPECT_EQ(d.cause, Cause::Unknown);
  EXPECT_EQ(d.summary, "the device refused the line settings");
  EXPECT_THAT(d.explanation,
              ElementsAre("Opening COM2 (/dev/ttyUSB0) failed: the device refused the line settings."));
}

TEST(DiagnosisText, SummaryThenParagraphsThenIndentedCommands) {
  Diagnosis d;
  d.summary = "One line";
  d.explanation = {"First.", "Second:"};
  d.commands = {"do this", "then that"};
  EXPECT_EQ(DiagnosisText(d), "One line\n\nFirst.\n\nSecond:\n\n    do this\n    then that");
  d.commands.clear();
  EXPECT_EQ(DiagnosisText(d), "One line\n\nFirst.\n\nSecond:");
}

TEST(StableNames, TheByIdLinkOfADeviceIsRememberedPerPortName) {
  FakeDiagnosisFacts facts;
  facts.AddNode("/dev/ttyACM0", 166, 0);
  facts.AddById(kReceiverById, "/dev/ttyACM0");
  facts.links["/run/user/1000/gpsdesk/ports/COM4"] = "/dev/ttyACM0";
  EXPECT_EQ(StableNameOf("/dev/ttyACM0", facts), (RememberedDevice{kReceiverById, "/dev/ttyACM0"}));
  EXPECT_EQ(StableNameOf("/run/user/1000/gpsdesk/ports/COM4", facts),
            (RememberedDevice{kReceiverById, "/dev/ttyACM0"}));
  EXPECT_EQ(StableNameOf("/dev/ttyS0", facts), std::nullopt);

  ForgetGoodOpens();
  RememberGoodOpen("COM4", StableNameOf("/dev/ttyACM0", facts));
  EXPECT_EQ(LastGoodOpen("COM4"), (RememberedDevice{kReceiverById, "/dev/ttyACM0"}));
  EXPECT_EQ(LastGoodOpen("COM5"), std::nullopt);
  // A later good open of a device without a stable name forgets the receiver.
  RememberGoodOpen("COM4", std::nullopt);
  EXPECT_EQ(LastGoodOpen("COM4"), std::nullopt);
}

}  // namespace
