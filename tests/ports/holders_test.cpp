// Who holds a device, decided on made-up facts: descriptors in other
// processes, the far end of a pseudo-terminal, lock files.

#include "ports/holders.h"

#include <gtest/gtest.h>

#include "fake_facts.h"
#include "ports/lock_file.h"

namespace {

using namespace ports;
using namespace ports_test;

class Holders : public ::testing::Test {
 protected:
  void SetUp() override {
    facts.nodes["/dev/ttyUSB0"] = CharDevice(188, 0);
    facts.nodes["/dev/ttyUSB1"] = CharDevice(188, 1);
    facts.nodes["/dev/pts/3"] = PtySlave(3);
    facts.links["/dev/serial/by-id/usb-gnss-if00"] = "/dev/ttyUSB0";
    facts.folders = {"/run/lock"};
    facts.links["/var/lock"] = "/run/lock";
    facts.Add(1, "systemd");
    facts.Add(facts.ownPid, "gpsdesk").devices = {{5, CharDevice(188, 0)}};
  }
  std::optional<Holder> Find(const std::string& path) { return FindHolder(path, facts, search); }

  FakeFacts facts;
  HolderSearch search{DefaultLockFolders()};
};

TEST_F(Holders, AnotherProcessWithTheDeviceOpenHoldsIt) {
  EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt) << "this process never holds a port against itself";

  facts.Add(4711, "cat").devices = {{0, CharDevice(136, 0)}, {3, CharDevice(188, 0)}};
  EXPECT_EQ(Find("/dev/ttyUSB0"), (Holder{4711, "cat", HeldVia::OpenFile}));
  EXPECT_EQ(Find("/dev/serial/by-id/usb-gnss-if00"), (Holder{4711, "cat", HeldVia::OpenFile}))
      << "the same device under another name";
  EXPECT_EQ(Find("/dev/ttyUSB1"), std::nullopt);
  EXPECT_EQ(Find("/dev/ttyUSB9"), std::nullopt) << "no such device: the open itself reports that";
}

TEST_F(Holders, WhatCannotBeReadIsSkipped) {
  facts.Add(200, "ModemManager").listable = false;  // another user's process
  FakeFacts::Process& leaving = facts.Add(300, "leaving");
  leaving.devices = {{3, CharDevice(188, 0)}};
  leaving.unreadable = {3};  // its descriptor closed while we looked
  EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt);

  facts.Add(400, "logger").devices = {{7, CharDevice(188, 0)}};
  EXPECT_EQ(Find("/dev/ttyUSB0"), (Holder{400, "logger", HeldVia::OpenFile}));
}

TEST_F(Holders, TheScanStaysWithinItsBounds) {
  facts.Add(400, "logger").devices = {{7, CharDevice(188, 0)}};
  search.maxProcesses = 2;  // 1 and our own: the logger is not looked at
  EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt);
  search.maxProcesses = 3;
  FakeFacts::Process& logger = facts.processes[400];
  logger.devices = {{0, CharDevice(1, 3)}, {1, CharDevice(1, 3)}, {7, CharDevice(188, 0)}};
  search.maxDescriptors = 2;
  EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt);
  search.maxDescriptors = 3;
  EXPECT_EQ(Find("/dev/ttyUSB0"), (Holder{400, "logger", HeldVia::OpenFile}));
}

TEST_F(Holders, TheFarEndOfAPseudoTerminalIsNotASecondReader) {
  // A simulator keeps the master and the slave open, so the line stays up.
  FakeFacts::Process& sim = facts.Add(500, "gpsdesk-sim");
  sim.devices = {{3, Ptmx()}, {4, PtySlave(3)}};
  sim.ptyIndex = {{3, 3}};
  EXPECT_EQ(Find("/dev/pts/3"), std::nullopt);

  // The master of another pseudo-terminal does not make a reader of this one
  // the far end.
  FakeFacts::Process& shell = facts.Add(600, "terminal");
  shell.devices = {{3, Ptmx()}, {9, PtySlave(3)}};
  shell.ptyIndex = {{3, 4}};
  EXPECT_EQ(Find("/dev/pts/3"), (Holder{600, "terminal", HeldVia::OpenFile}));
  facts.processes.erase(600);

  // pts/3 of a container's own devpts is another line.
  facts.Add(700, "cat").devices = {{0, PtySlave(3, kDevPts + 1)}};
  EXPECT_EQ(Find("/dev/pts/3"), std::nullopt);

  // A plain second reader of the slave is a holder.
  facts.Add(800, "cat").devices = {{0, PtySlave(3)}};
  EXPECT_EQ(Find("/dev/pts/3"), (Holder{800, "cat", HeldVia::OpenFile}));
}

TEST_F(Holders, ALockFileOfARunningProcessHoldsTheDevice) {
  facts.otherLiving = {4711};  // a process of another user: its descriptors are hidden
  facts.files["/run/lock/LCK..ttyUSB0"] = LockFileContent(4711);
  EXPECT_EQ(Find("/dev/ttyUSB0"), (Holder{4711, "", HeldVia::LockFile}));
  EXPECT_EQ(Find("/dev/serial/by-id/usb-gnss-if00"), (Holder{4711, "", HeldVia::LockFile}));
  EXPECT_EQ(Find("/dev/ttyUSB1"), std::nullopt);

  facts.Add(4711, "minicom");
  EXPECT_EQ(Find("/dev/ttyUSB0"), (Holder{4711, "minicom", HeldVia::LockFile}));

  // A lock taken under the link's name counts as well.
  facts.files.clear();
  facts.files["/run/lock/LCK..serial_by-id_usb-gnss-if00"] = "4711\nminicom\nhost\n";
  EXPECT_EQ(Find("/dev/serial/by-id/usb-gnss-if00"), (Holder{4711, "minicom", HeldVia::LockFile}));
}

TEST_F(Holders, LocksThatHoldNothing) {
  const std::string lock = "/run/lock/LCK..ttyUSB0";
  facts.files[lock] = LockFileContent(4712);  // that process has ended
  EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt);
  facts.files[lock] = LockFileContent(facts.ownPid);
  EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt);
  for (const char* garbage : {"", "\n", "minicom\n", "0\n", "-1\n", "\x67\x12\0\0"}) {
    facts.files[lock] = garbage;
    EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt) << garbage;
  }
  facts.files[lock] = LockFileContent(1);
  facts.unreadableFiles = {lock};
  EXPECT_EQ(Find("/dev/ttyUSB0"), std::nullopt);
}

TEST(HolderText, NamesTheProgramAndItsPid) {
  EXPECT_EQ(DescribeHolder({4711, "minicom", HeldVia::OpenFile}), "held by minicom, pid 4711");
  EXPECT_EQ(DescribeHolder({4711, "minicom", HeldVia::LockFile}), "held by minicom, pid 4711");
  EXPECT_EQ(DescribeHolder({12, "", HeldVia::LockFile}), "held by another program, pid 12");
  EXPECT_EQ(DescribeHolder({12, "<b>x\n\x1b", HeldVia::OpenFile}), "held by ?b?x??, pid 12");
}

TEST(LockFileConvention, NamesAndContent) {
  EXPECT_EQ(LockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
  EXPECT_EQ(LockFileName("/dev/pts/3"), "LCK..pts_3");
  EXPECT_EQ(LockFileName("/dev/serial/by-id/usb-u-blox_GNSS-if00"), "LCK..serial_by-id_usb-u-blox_GNSS-if00");
  EXPECT_EQ(LockFileName("/tmp/a/b"), "LCK.._tmp_a_b");

  EXPECT_EQ(LockFileContent(1230), "      1230\n");
  EXPECT_EQ(LockFileContent(2147483647), "2147483647\n");

  EXPECT_EQ(LockFilePid("      1230\n"), 1230);
  EXPECT_EQ(LockFilePid("1230"), 1230);
  EXPECT_EQ(LockFilePid(" 1230 \nprogram\nhost\n"), 1230);
  EXPECT_EQ(LockFilePid("2147483647\n"), 2147483647);
  const std::string_view bad[] = {"",
                                  "  \n",
                                  "0\n",
                                  "-1\n",
                                  "+5\n",
                                  "12 34\n",
                                  "2147483648\n",
                                  "99999999999\n",
                                  "\n1230\n",
                                  "12a\n",
                                  std::string_view("\0\0\0\x04", 4)};
  for (const std::string_view content : bad) {
    EXPECT_EQ(LockFilePid(content), 0) << content;
  }
}

}  // namespace
