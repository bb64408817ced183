// The serial link against other processes on real pseudo-terminals: a second
// reader of the device, a program's lock file, the far end that serves the
// line, and this process's own lock. Lock files go to a folder of the test's
// own.

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/port_errors.h"
#include "other_process.h"
#include "ports/lock_file.h"
#include "ports/port_guard.h"
#include "serial/serial_link.h"
#include "serial/serial_test_support.h"

namespace {

namespace fs = std::filesystem;
using serial::CSerialLink;

class PtyHolders : public ::testing::Test {
 protected:
  std::string LockOf(const std::string& device) { return locks.Folder() + "/" + ports::LockFileName(device); }
  static std::string Content(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }
  std::string HeldBy(int pid) { return "held by minicom, pid " + std::to_string(pid); }

  ports_test::ScopedLockFolder locks;
  serial_test::PtyPair pty;
  CSerialLink link;  // closed before the lock folder goes
};

TEST_F(PtyHolders, ASecondReaderOfTheDeviceRefusesTheOpenUntilItEnds) {
  const std::string device = pty.SlavePath();
  ports_test::OtherProcess cat(ports_test::OtherProcess::Slave, device);
  ASSERT_TRUE(cat.Ok());

  EXPECT_EQ(CSerialLink::ProbePort(device.c_str()), serial::PortInUse);
  EXPECT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_ACCESS_DENIED);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.LastError(), serial::ERROR_ACCESS_DENIED);
  EXPECT_EQ(app::PortOpenReason(link.LastError(), device), HeldBy(cat.Pid()));
  EXPECT_FALSE(fs::exists(LockOf(device)));

  cat.End();
  EXPECT_EQ(CSerialLink::ProbePort(device.c_str()), serial::PortAvailable);
  EXPECT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_SUCCESS);
  pty.Send("$GPGGA\r\n");
  char got[16] = {};
  std::uint32_t count = 0;
  link.SetReadMode(serial::ReadBlocking);
  EXPECT_EQ(link.Read(got, 8, &count, nullptr, serial_test::kPatienceMs), serial::ERROR_SUCCESS);
  EXPECT_EQ(std::string(got, count), "$GPGGA\r\n");
}

TEST_F(PtyHolders, AnotherOpenerThatLocksIsNamedToo) {
  const std::string device = pty.SlavePath();
  ports_test::OtherProcess other(ports_test::OtherProcess::LockedSlave, device);
  ASSERT_TRUE(other.Ok());
  EXPECT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_ACCESS_DENIED);
  EXPECT_EQ(app::PortOpenReason(link.LastError(), device), HeldBy(other.Pid()));

  // Within this process the device lock alone refuses, and nobody is named.
  other.End();
  ASSERT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_SUCCESS);
  CSerialLink second;
  EXPECT_EQ(second.Open(device.c_str(), 2048, 2048), serial::ERROR_ACCESS_DENIED);
  EXPECT_EQ(app::PortOpenReason(second.LastError(), device),
            app::PortOpenReason(serial::ERROR_ACCESS_DENIED));
}

TEST_F(PtyHolders, TheProcessServingTheLineIsNotAHolder) {
  // As a simulator does: master and slave open in one process, none here.
  int master = -1, slave = -1;
  char name[128] = {};
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  close(slave);
  ports_test::OtherProcess sim(ports_test::OtherProcess::MasterAndSlave, name, master);
  close(master);
  ASSERT_TRUE(sim.Ok());

  EXPECT_EQ(CSerialLink::ProbePort(name), serial::PortAvailable);
  EXPECT_EQ(link.Open(name, 2048, 2048), serial::ERROR_SUCCESS);
  EXPECT_EQ(CSerialLink::ProbePort(name), serial::PortInUse) << "we hold it now";
}

TEST_F(PtyHolders, ALockFileOfARunningProcessRefusesTheOpen) {
  const std::string device = pty.SlavePath();
  ports_test::OtherProcess minicom(ports_test::OtherProcess::Nothing);
  ASSERT_TRUE(minicom.Ok());
  const std::string lock = LockOf(device);
  std::ofstream(lock) << ports::LockFileContent(minicom.Pid());

  EXPECT_EQ(CSerialLink::ProbePort(device.c_str()), serial::PortInUse);
  EXPECT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_ACCESS_DENIED);
  EXPECT_EQ(app::PortOpenReason(link.LastError(), device), HeldBy(minicom.Pid()));
  EXPECT_EQ(Content(lock), ports::LockFileContent(minicom.Pid()));

  // Its process gone, the lock is stale: replaced by ours, and ours removed
  // on close.
  minicom.End();
  EXPECT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_SUCCESS);
  EXPECT_EQ(Content(lock), ports::LockFileContent(getpid()));
  link.Close();
  EXPECT_FALSE(fs::exists(lock));
}

TEST_F(PtyHolders, OurLockLivesExactlyAsLongAsTheOpenPort) {
  const std::string device = pty.SlavePath();
  const std::string lock = LockOf(device);
  EXPECT_EQ(CSerialLink::ProbePort(device.c_str()), serial::PortAvailable);
  EXPECT_FALSE(fs::exists(lock)) << "a probe places no lock";

  ASSERT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_SUCCESS);
  EXPECT_EQ(Content(lock), ports::LockFileContent(getpid()));
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(locks.Folder()), {}), std::vector<fs::path>{lock})
      << "no temporary left behind";
  // A second link in this process is refused, and does not take our lock
  // file away.
  CSerialLink second;
  EXPECT_EQ(second.Open(device.c_str(), 2048, 2048), serial::ERROR_ACCESS_DENIED);
  EXPECT_TRUE(fs::exists(lock));

  link.Close();
  EXPECT_FALSE(fs::exists(lock));
  ASSERT_EQ(link.Open(device.c_str(), 2048, 2048), serial::ERROR_SUCCESS);
  EXPECT_TRUE(fs::exists(lock));
}

TEST(PtyHolder, WithoutALockFolderThePortOpensAll) {
  ports_test::ScopedLockFolder missing("/nonexistent/gpsdesk-locks");
  serial_test::PtyPair pty;
  CSerialLink link;
  EXPECT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), serial::ERROR_SUCCESS);
}

}  // namespace
