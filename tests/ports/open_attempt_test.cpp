// From a failed open to its explanation: where the name led, which names
// lead to a device now, and a receiver that came back under another number
// after it had opened once. The port names are mapped in folders of the
// test's own; the system facts are made up.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/port_errors.h"
#include "fake_diagnosis_facts.h"
#include "ports/open_history.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

constexpr const char* kReceiverById = "/dev/serial/by-id/usb-SiRF_GPS_receiver_0042-if00-port0";

class FailedOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/gpsdesk-open-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "dev");
    fs::create_directories(root_ / "ports");
    where_.devFolder = (root_ / "dev").string();
    where_.linkFolder = (root_ / "ports").string();
    where_.ttyClassFolder = (root_ / "sys").string();
    ports::ForgetGoodOpens();
  }
  void TearDown() override {
    fs::remove_all(root_);
    ports::ForgetGoodOpens();
  }
  // A device node in the test's /dev, known to the facts.
  std::string Plug(const std::string& name, unsigned minor) {
    const std::string path = where_.devFolder + "/" + name;
    std::ofstream{path};
    facts_.AddNode(path, 188, minor);
    return path;
  }
  void Unplug(const std::string& path) {
    fs::remove(path);
    facts_.nodes.erase(path);
  }

  fs::path root_;
  serial::PortLocations where_;
  ports_test::FakeDiagnosisFacts facts_;
};

TEST_F(FailedOpen, TheAttemptSaysWhereTheNameLedAndWhatExistsNow) {
  const std::string usb0 = Plug("ttyUSB0", 0);
  fs::create_symlink("/dev/pts/99", root_ / "ports/COM3");  // the simulator has ended

  ports::OpenAttempt a = app::FailedOpenAttempt(serial::ERROR_FILE_NOT_FOUND, "COM5", where_, facts_);
  EXPECT_EQ(a.failure, ports::OpenFailure::NoDevice);
  EXPECT_EQ(a.devicePath, "");
  EXPECT_EQ(a.linkFolder, where_.linkFolder);
  EXPECT_THAT(a.available, ElementsAre(ports::NamedDevice{"COM1", usb0})) << "COM3's link leads nowhere";

  a = app::FailedOpenAttempt(serial::ERROR_FILE_NOT_FOUND, "COM3", where_, facts_);
  EXPECT_EQ(a.devicePath, "/dev/pts/99");
  EXPECT_TRUE(a.linked);
  EXPECT_EQ(ports::Diagnose(a, facts_).cause, ports::Cause::LinkTargetGone);

  a = app::FailedOpenAttempt(serial::ERROR_ACCESS_DENIED, "COM1", where_, facts_);
  EXPECT_EQ(a.failure, ports::OpenFailure::Refused);
  EXPECT_EQ(a.devicePath, usb0);
  EXPECT_FALSE(a.linked);

  a = app::FailedOpenAttempt(serial::ERROR_TIMEOUT, "/dev/ttyUSB3", where_, facts_);
  EXPECT_EQ(a.failure, ports::OpenFailure::Other);
  EXPECT_EQ(a.devicePath, "/dev/ttyUSB3");
  EXPECT_EQ(a.failureText, "the device did not answer in time");
}

TEST_F(FailedOpen, AReceiverThatCameBackUnderAnotherNumberIsFound) {
  // COM2 opens the receiver as ttyUSB1 while another adapter is ttyUSB0.
  const std::string other = Plug("ttyUSB0", 0);
  std::string receiver = Plug("ttyUSB1", 1);
  facts_.AddById(kReceiverById, receiver);
  app::NoteGoodOpen("COM2", facts_, where_);
  EXPECT_EQ(ports::LastGoodOpen("COM2"), (ports::RememberedDevice{kReceiverById, receiver}));

  // Both are unplugged; the receiver alone comes back, as ttyUSB0, so COM2
  // leads nowhere and COM1 is the receiver.
  Unplug(other);
  Unplug(receiver);
  receiver = Plug("ttyUSB0", 0);
  facts_.byId.clear();
  facts_.AddById(kReceiverById, receiver);

  const ports::Diagnosis d = app::DiagnoseOpenFailure(serial::ERROR_FILE_NOT_FOUND, "COM2", facts_, where_);
  EXPECT_EQ(d.cause, ports::Cause::Renumbered);
  EXPECT_EQ(d.summary, "The receiver is now " + receiver + " (COM1), same " + kReceiverById);
  EXPECT_THAT(d.commands,
              ElementsAre("mkdir -p " + where_.linkFolder,
                          "ln -sfn " + std::string(kReceiverById) + " " + where_.linkFolder + "/COM2"));
}

}  // namespace

namespace {

// A name that stands for a network source involves no device here: the
// explanation is what the connection or gpsd said, and where the address is
// kept; a published address that is not valid says what is wrong with it.
TEST_F(FailedOpen, ANetworkSourceIsExplainedByWhatTheConnectionSaid) {
  ASSERT_EQ(serial::PublishPortAddress(where_, "COM4", "gpsd://localhost/dev/ttyUSB9"), 0);
  Plug("ttyUSB0", 0);
  const ports::Diagnosis gpsd = app::DiagnoseOpenFailure(serial::ERROR_DEV_NOT_EXIST, "COM4", facts_, where_,
                                                         "gpsd: No such device as /dev/ttyUSB9");
  EXPECT_EQ(gpsd.cause, ports::Cause::Network);
  EXPECT_EQ(gpsd.summary, "gpsd: No such device as /dev/ttyUSB9");
  ASSERT_FALSE(gpsd.explanation.empty());
  EXPECT_EQ(gpsd.explanation.front(),
            "COM4 stands for the network source gpsd://localhost:2947/dev/ttyUSB9 (kept in " +
                where_.linkFolder +
                "/COM4). Opening it failed: gpsd: No such device as "
                "/dev/ttyUSB9.");
  EXPECT_THAT(gpsd.commands, ElementsAre("gpspipe -w -n 4"));

  // Without a word from the link, the status speaks; a typed address names
  // itself.
  const ports::Diagnosis refused =
      app::DiagnoseOpenFailure(serial::ERROR_CONNECTION_REFUSED, "tcp://127.0.0.1:2000", facts_, where_);
  EXPECT_EQ(refused.cause, ports::Cause::Network);
  EXPECT_EQ(refused.summary, "connection refused: nothing listens at that address");
  EXPECT_EQ(refused.explanation.front().rfind("tcp://127.0.0.1:2000. Opening it failed: ", 0), 0u)
      << refused.explanation.front();

  std::ofstream(where_.linkFolder + "/COM5") << "tcp://field-pc\n";
  const ports::Diagnosis invalid =
      app::DiagnoseOpenFailure(serial::ERROR_INVALID_NAME, "COM5", facts_, where_);
  EXPECT_EQ(invalid.cause, ports::Cause::Network);
  EXPECT_THAT(invalid.explanation.front(), ::testing::HasSubstr("network source tcp://field-pc"));
  ASSERT_EQ(invalid.explanation.size(), 2u);
  EXPECT_THAT(invalid.explanation.back(), ::testing::StartsWith("An address is one line: tcp://HOST:PORT"));
}

}  // namespace
