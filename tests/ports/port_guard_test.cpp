// The guard the serial link asks before and after an open, on made-up facts,
// and the tooltip text that names the holder.

#include "ports/port_guard.h"

#include <gtest/gtest.h>

#include "app/port_errors.h"
#include "fake_facts.h"

namespace {

using namespace ports;
using namespace ports_test;

class Guard : public ::testing::Test {
 protected:
  void SetUp() override {
    facts.nodes["/dev/ttyUSB0"] = CharDevice(188, 0);
    facts.links["/dev/serial/by-id/gnss"] = "/dev/ttyUSB0";
    facts.folders = {"/run/lock"};
  }

  FakeFacts facts;
  PortGuard guard{facts, HolderSearch{{"/run/lock"}}};
  const std::string lock = "/run/lock/LCK..ttyUSB0";
};

TEST_F(Guard, RemembersTheHolderOfTheLatestAttemptOnly) {
  facts.Add(4711, "minicom").devices = {{3, CharDevice(188, 0)}};
  const Holder minicom{4711, "minicom", HeldVia::OpenFile};
  EXPECT_EQ(guard.CheckHolder("COM3", "/dev/ttyUSB0"), minicom);
  EXPECT_EQ(guard.LastHolder("COM3"), minicom);
  EXPECT_EQ(guard.LastHolder("COM4"), std::nullopt);
  EXPECT_EQ(guard.LastHolder("/dev/ttyUSB0"), std::nullopt);
  guard.Forget("COM3");
  EXPECT_EQ(guard.LastHolder("COM3"), std::nullopt);
  guard.CheckHolder("COM3", "/dev/ttyUSB0");

  facts.processes.erase(4711);
  EXPECT_EQ(guard.CheckHolder("COM3", "/dev/ttyUSB0"), std::nullopt);
  EXPECT_EQ(guard.LastHolder("COM3"), std::nullopt) << "a later refusal for another reason names nobody";
}

TEST_F(Guard, ClaimsTheDeviceUnderItsOwnNameAndReleasesIt) {
  EXPECT_EQ(guard.Claim("COM1", "/dev/serial/by-id/gnss", 7), std::nullopt);
  EXPECT_EQ(facts.files, (std::map<std::string, std::string>{{lock, LockFileContent(facts.ownPid)}}));
  guard.Release(8);
  EXPECT_EQ(facts.files.size(), 1u) << "another descriptor's release";
  guard.Release(7);
  EXPECT_TRUE(facts.files.empty());
  guard.Release(7);
}

TEST_F(Guard, AClaimLosesToALockPlacedSinceTheCheck) {
  facts.Add(4711, "minicom");
  facts.files[lock] = LockFileContent(4711);
  EXPECT_EQ(guard.Claim("COM1", "/dev/ttyUSB0", 7), (Holder{4711, "minicom", HeldVia::LockFile}));
  EXPECT_EQ(guard.LastHolder("COM1"), (Holder{4711, "minicom", HeldVia::LockFile}));
  guard.Release(7);
  EXPECT_EQ(facts.files[lock], LockFileContent(4711));
}

TEST_F(Guard, TheTooltipNamesTheHolderOfARefusedOpen) {
  PortGuard* const previous = SetProcessPortGuard(&guard);
  facts.Add(4711, "minicom").devices = {{3, CharDevice(188, 0)}};
  guard.CheckHolder("COM3", "/dev/ttyUSB0");

  EXPECT_EQ(app::PortOpenReason(serial::ERROR_ACCESS_DENIED, "COM3"), "held by minicom, pid 4711");
  // Nobody to name: the words for the code as before.
  EXPECT_EQ(app::PortOpenReason(serial::ERROR_ACCESS_DENIED, "COM4"),
            app::PortOpenReason(serial::ERROR_ACCESS_DENIED));
  EXPECT_EQ(app::PortOpenReason(serial::ERROR_FILE_NOT_FOUND, "COM3"),
            app::PortOpenReason(serial::ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(app::PortOpenReason(serial::ERROR_SUCCESS, "COM3"), "");
  SetProcessPortGuard(previous);
}

}  // namespace
