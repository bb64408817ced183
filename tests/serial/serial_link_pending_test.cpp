// Reads, writes and event waits that go on in the background, completed
// through the caller's record, on real pseudo-terminals.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "serial/serial_link.h"
#include "serial_test_support.h"

namespace {

using namespace serial;
using serial_test::OwnedRecord;
using serial_test::PtyPair;

class SerialLinkPending : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), 0); }
  // What the far end receives, read in small pieces.
  std::string TakeSlowly(std::size_t count) {
    std::string taken;
    while (taken.size() < count) {
      const std::string piece = pty.TakeExactly(std::min<std::size_t>(1000, count - taken.size()));
      if (piece.empty()) break;
      taken += piece;
    }
    return taken;
  }

  PtyPair pty;
  CSerialLink link;
};

TEST_F(SerialLinkPending, AWriteGoesOnInTheBackgroundAndReportsTheFullCount) {
  // A pseudo-terminal takes about 12 KiB at once; nobody reads the far end yet.
  const std::string big = serial_test::Pattern(1 << 20);
  const auto size = static_cast<std::uint32_t>(big.size());
  OwnedRecord first, second;
  std::uint32_t count = 99;
  ASSERT_EQ(link.Write(big.data(), size, &count, &first, kInfinite), 0);
  EXPECT_EQ(count, 0u);  // the count comes with the record
  EXPECT_EQ(link.GetResult(&first, &count, false), ERROR_IO_INCOMPLETE);
  EXPECT_EQ(link.LastError(), ERROR_IO_INCOMPLETE);
  EXPECT_FALSE(first.Signalled());
  EXPECT_EQ(link.WriteText("x", &count, &first, kInfinite), ERROR_INVALID_PARAMETER);  // still in use

  // Later writes wait their turn: a synchronous one runs out of time without
  // a byte moving, one with a record queues behind.
  EXPECT_EQ(link.WriteText("lost", &count, nullptr, 20), ERROR_TIMEOUT);
  EXPECT_EQ(count, 0u);
  ASSERT_EQ(link.WriteText("$END", &count, &second, kInfinite), 0);

  EXPECT_TRUE(TakeSlowly(big.size() + 4) == big + "$END");
  ASSERT_TRUE(first.AwaitSignal());
  ASSERT_TRUE(second.AwaitSignal());
  EXPECT_EQ(link.GetResult(&first, &count, false), 0);
  EXPECT_EQ(count, size);
  EXPECT_EQ(first.transferred.load(), size);
  EXPECT_EQ(link.GetResult(&second, &count, true), 0);
  EXPECT_EQ(count, 4u);
  EXPECT_TRUE(pty.TakeAvailable().empty());
}

TEST_F(SerialLinkPending, ABlockingReadWaitsForItsCountAndLaterReadsFollowIt) {
  ASSERT_EQ(link.SetReadMode(ReadBlocking), 0);
  OwnedRecord record;
  char buffer[10] = {};
  std::uint32_t count = 99;
  ASSERT_EQ(link.Read(buffer, sizeof buffer, &count, &record, kInfinite), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(link.GetResult(&record, &count, false), ERROR_IO_INCOMPLETE);

  pty.Send("abcd");
  pty.Send("efghijkl");
  // Started after the pending read, this one gets what comes after its ten.
  char rest[2] = {};
  ASSERT_EQ(link.Read(rest, sizeof rest, &count, nullptr, kInfinite), 0);
  EXPECT_EQ(std::string(rest, count), "kl");
  EXPECT_TRUE(record.Signalled());
  ASSERT_EQ(link.GetResult(&record, &count, true), 0);
  EXPECT_EQ(std::string(buffer, count), "abcdefghij");
}

TEST_F(SerialLinkPending, ANonBlockingReadCompletesAtOnceWithWhatIsThere) {
  pty.Send("xy");
  ASSERT_EQ(link.WaitEvent(nullptr, kInfinite), 0);
  OwnedRecord record;
  char buffer[10] = {};
  std::uint32_t count = 0;
  ASSERT_EQ(link.Read(buffer, sizeof buffer, &count, &record, kInfinite), 0);
  EXPECT_TRUE(record.Signalled());
  EXPECT_EQ(std::string(buffer, count), "xy");
  ASSERT_EQ(link.Read(buffer, sizeof buffer, &count, &record, kInfinite), 0);
  EXPECT_TRUE(record.Signalled());
  EXPECT_EQ(count, 0u);
}

TEST_F(SerialLinkPending, ACompletedWaitStaysCompletedWhenTheBytesAreRead) {
  OwnedRecord record;
  ASSERT_EQ(link.WaitEvent(&record, kInfinite), 0);
  EXPECT_EQ(link.GetResult(&record, nullptr, false), ERROR_IO_INCOMPLETE);
  pty.Send("$GPGGA\r\n");
  ASSERT_TRUE(record.AwaitSignal());
  // Drained before anybody looked at the events.
  char buffer[64];
  std::uint32_t count = 0;
  ASSERT_EQ(link.Read(buffer, sizeof buffer, &count, nullptr, 0), 0);
  EXPECT_EQ(std::string(buffer, count), "$GPGGA\r\n");
  EXPECT_TRUE(record.Signalled());
  EXPECT_EQ(link.GetResult(&record, nullptr, false), 0);
  EXPECT_EQ(link.TakeEvent(), EV_RXCHAR);
  EXPECT_EQ(link.TakeEvent(), kNoEvent);
}

TEST_F(SerialLinkPending, CloseEndsWhatIsPendingWithTheClosedPortCode) {
  pty.Send("abc");
  ASSERT_EQ(link.WaitEvent(nullptr, kInfinite), 0);  // the bytes are in
  ASSERT_EQ(link.TakeEvent(), EV_RXCHAR);
  ASSERT_EQ(link.SetReadMode(ReadBlocking), 0);
  OwnedRecord read, write, wait;
  char buffer[10] = {};
  ASSERT_EQ(link.Read(buffer, sizeof buffer, nullptr, &read, kInfinite), 0);
  const std::string big(1 << 20, 'w');
  ASSERT_EQ(link.Write(big.data(), static_cast<std::uint32_t>(big.size()), nullptr, &write, kInfinite), 0);
  ASSERT_EQ(link.WaitEvent(&wait, kInfinite), 0);
  EXPECT_FALSE(read.Signalled() || write.Signalled() || wait.Signalled());

  EXPECT_EQ(link.Close(), 0);
  EXPECT_TRUE(read.Signalled() && write.Signalled() && wait.Signalled());
  std::uint32_t count = 0;
  EXPECT_EQ(link.GetResult(&read, &count, false), ERROR_INVALID_HANDLE);
  EXPECT_EQ(std::string(buffer, count), "abc");  // what had come is kept
  EXPECT_EQ(link.GetResult(&write, &count, true), ERROR_INVALID_HANDLE);
  EXPECT_GT(count, 0u);
  EXPECT_LT(count, big.size());
  EXPECT_EQ(pty.TakeExactly(count).size(), count);  // the bytes counted went out, and no more
  EXPECT_TRUE(pty.TakeAvailable().empty());
  EXPECT_EQ(link.GetResult(&wait, &count, false), ERROR_INVALID_HANDLE);
  EXPECT_EQ(link.TakeEvent(), kNoEvent);  // the wait ended without events
  EXPECT_TRUE(serial_test::EnginesSettleAt(0));
}

}  // namespace
