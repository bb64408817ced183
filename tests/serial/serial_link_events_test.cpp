// Event bits beyond arrivals and errors: the event character and the output
// running empty on real pseudo-terminals; the modem lines and a driver's
// output queue, which a pseudo-terminal does not have, through the stand-in
// for the system calls.

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>

#include "serial/serial_link.h"
#include "serial_test_support.h"

namespace {

using namespace serial;
using serial_test::FakeSerialSystem;
using serial_test::OwnedRecord;
using serial_test::PtyPair;

constexpr std::uint32_t kModemEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;

class SerialEventsPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), 0); }
  std::string ReadNow() {
    char buffer[64];
    std::uint32_t got = 0;
    EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, 0), 0);
    return std::string(buffer, got);
  }

  PtyPair pty;
  CSerialLink link;
};

TEST_F(SerialEventsPty, TheEventCharacterIsReportedWithTheBytesThatBringIt) {
  ASSERT_EQ(link.SetEventChar('\n', true), 0);
  OwnedRecord record;
  ASSERT_EQ(link.WaitEvent(&record, kInfinite), 0);
  pty.Send("$GPGGA,1");
  ASSERT_TRUE(record.AwaitSignal());
  EXPECT_EQ(link.TakeEvent(), EV_RXCHAR);  // no line end yet
  ASSERT_EQ(link.WaitEvent(&record, kInfinite), 0);
  pty.Send(",2*00\r\n");
  ASSERT_TRUE(record.AwaitSignal());
  EXPECT_EQ(link.TakeEvent(), EV_RXCHAR | EV_RXFLAG);
  // The bytes looked at on the way come out once, in order.
  EXPECT_EQ(ReadNow(), "$GPGGA,1,2*00\r\n");
  EXPECT_EQ(ReadNow(), "");

  // Bytes that came while the mask did not ask are looked at when read.
  ASSERT_EQ(link.SetEventMask(EV_RXCHAR), 0);
  pty.Send("$GPRMC\r\n");
  ASSERT_EQ(link.WaitEvent(nullptr, kInfinite), 0);
  EXPECT_EQ(link.TakeEvent(), EV_RXCHAR);
  ASSERT_EQ(link.SetEventMask(EV_RXCHAR | EV_RXFLAG), 0);
  EXPECT_EQ(ReadNow(), "$GPRMC\r\n");
  EXPECT_EQ(link.WaitEvent(nullptr, 0), 0);
  EXPECT_EQ(link.TakeEvent(), EV_RXFLAG);

  // Purge drops what was read ahead as well.
  pty.Send("$GPVTG\r\n");
  ASSERT_EQ(link.WaitEvent(nullptr, kInfinite), 0);
  ASSERT_EQ(link.Purge(), 0);
  EXPECT_EQ(ReadNow(), "");
}

TEST_F(SerialEventsPty, ReadingAheadForTheEventCharacterKeepsEveryByteInOrder) {
  // More than the read-ahead holds, sent while small blocking reads take it:
  // the bytes come from the engine's queue and from the port by turns.
  ASSERT_EQ(link.SetEventChar('\n', true), 0);
  ASSERT_EQ(link.SetReadMode(ReadBlocking), 0);
  const std::string sent = serial_test::Pattern(512 * 1000);
  std::thread receiver([&] {
    for (std::size_t at = 0; at < sent.size(); at += 1000) pty.Send(std::string_view(sent).substr(at, 1000));
  });
  std::string got;
  char buffer[100];
  std::uint32_t n = 0;
  while (got.size() < sent.size() &&
         link.Read(buffer, sizeof buffer, &n, nullptr, serial_test::kPatienceMs) == ERROR_SUCCESS) {
    got.append(buffer, n);
  }
  receiver.join();
  EXPECT_EQ(got.size(), sent.size());
  EXPECT_TRUE(got == sent);
}

TEST_F(SerialEventsPty, TheOutputRunningEmptyComesAfterTheLastPendingByte) {
  ASSERT_EQ(link.SetEventMask(EV_TXEMPTY), 0);
  EXPECT_EQ(link.WaitEvent(nullptr, 20), ERROR_TIMEOUT);  // nothing written yet
  ASSERT_EQ(link.WriteText("$PVLRX600*1A\r\n", nullptr, nullptr, kInfinite), 0);
  ASSERT_EQ(link.WaitEvent(nullptr, kInfinite), 0);
  EXPECT_EQ(link.TakeEvent(), EV_TXEMPTY);
  EXPECT_EQ(link.WaitEvent(nullptr, 20), ERROR_TIMEOUT);  // once per write
  EXPECT_EQ(pty.TakeExactly(14), "$PVLRX600*1A\r\n");

  OwnedRecord wait, write;
  ASSERT_EQ(link.WaitEvent(&wait, kInfinite), 0);
  const std::string big = serial_test::Pattern(256 * 1024);
  ASSERT_EQ(link.Write(big.data(), static_cast<std::uint32_t>(big.size()), nullptr, &write, kInfinite), 0);
  std::string taken;
  while (taken.size() < big.size()) {
    if (wait.Signalled()) {
      ASSERT_TRUE(write.Signalled()) << taken.size();
    }
    const std::string piece = pty.TakeExactly(std::min<std::size_t>(4096, big.size() - taken.size()));
    ASSERT_FALSE(piece.empty());
    taken += piece;
  }
  ASSERT_TRUE(wait.AwaitSignal());
  EXPECT_TRUE(write.Signalled());
  EXPECT_EQ(link.TakeEvent(), EV_TXEMPTY);
  EXPECT_TRUE(taken == big);
  std::uint32_t count = 0;
  EXPECT_EQ(link.GetResult(&write, &count, false), 0);
  EXPECT_EQ(count, big.size());
  EXPECT_EQ(link.GetResult(&wait, &count, false), 0);
}

TEST_F(SerialEventsPty, APseudoTerminalHasNoModemLines) {
  // Open's default (no flow control) holds nothing low where there are no
  // lines; the handshake cannot be had.
  EXPECT_EQ(link.SetFlowControl(FlowHardware), ERROR_INVALID_FUNCTION);
  EXPECT_EQ(link.GetFlowControl(), FlowOff);
  EXPECT_EQ(link.SetFlowControl(FlowSoftware), 0);
  EXPECT_FALSE(link.IsCtsOn());
  EXPECT_EQ(link.LastError(), ERROR_INVALID_FUNCTION);
  EXPECT_EQ(link.GetLineErrors(), 0u);  // nor error counters
  EXPECT_EQ(link.LastError(), ERROR_INVALID_FUNCTION);
}

class SerialEventsSeam : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), 0); }

  PtyPair pty;
  FakeSerialSystem fake;
  CSerialLink link{fake};
};

TEST_F(SerialEventsSeam, ModemLineChangesAreEvents) {
  ASSERT_EQ(link.SetEventMask(kModemEvents), 0);
  const int outputs = fake.modem;  // DTR and RTS as Open left them
  struct Step {
    int lines;
    std::uint32_t events;
  };
  const Step steps[] = {
      {TIOCM_CTS, EV_CTS},
      {TIOCM_CTS | TIOCM_DSR | TIOCM_CAR, EV_DSR | EV_RLSD},
      {TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG, EV_RING},
      {TIOCM_DSR | TIOCM_CAR, EV_CTS},  // the ring ending is no event
  };
  OwnedRecord wait;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.lines);
    ASSERT_EQ(link.WaitEvent(&wait, kInfinite), 0);
    EXPECT_FALSE(wait.Signalled());
    fake.modem = outputs | step.lines;
    ASSERT_TRUE(wait.AwaitSignal());
    EXPECT_EQ(link.TakeEvent(), step.events);
  }
  // A change while no wait is armed completes the next one at once.
  fake.modem = outputs;
  ASSERT_EQ(link.WaitEvent(nullptr, 0), 0);
  EXPECT_EQ(link.TakeEvent(), EV_DSR | EV_RLSD);

  // A wait that does not ask for the lines does not poll them.
  ASSERT_EQ(link.SetEventMask(EV_RXCHAR), 0);
  const int polls = fake.modemCalls;
  EXPECT_EQ(link.WaitEvent(nullptr, 30), ERROR_TIMEOUT);
  EXPECT_EQ(fake.modemCalls.load(), polls);
}

TEST(SerialEventsSeamOpen, ADeviceWithoutModemLinesIsNotPolled) {
  PtyPair pty;
  FakeSerialSystem fake;
  fake.modemError = ENOTTY;
  CSerialLink link(fake);
  ASSERT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), 0);  // no flow control needs no lines
  ASSERT_EQ(link.SetEventMask(EV_CTS | EV_DSR), 0);
  const int polls = fake.modemCalls;
  EXPECT_EQ(link.WaitEvent(nullptr, 30), ERROR_TIMEOUT);
  EXPECT_EQ(fake.modemCalls.load(), polls);
}

TEST_F(SerialEventsSeam, TheOutputRunningEmptyWaitsForTheDriversQueue) {
  ASSERT_EQ(link.SetEventMask(EV_TXEMPTY | EV_RXCHAR), 0);
  fake.outputQueue = 3;  // a UART still sending
  ASSERT_EQ(link.WriteText("abc", nullptr, nullptr, kInfinite), 0);
  OwnedRecord wait;
  const int polls = fake.outputQueueCalls;
  ASSERT_EQ(link.WaitEvent(&wait, kInfinite), 0);
  ASSERT_TRUE(fake.WaitForOutputPolls(polls + 3));
  EXPECT_FALSE(wait.Signalled());
  fake.outputQueue = 0;
  ASSERT_TRUE(wait.AwaitSignal());
  EXPECT_EQ(link.TakeEvent(), EV_TXEMPTY);
  EXPECT_EQ(pty.TakeExactly(3), "abc");

  // A driver that cannot tell its queue holds nothing to wait for.
  fake.outputQueue = 3;
  fake.outputQueueError = ENOTTY;
  ASSERT_EQ(link.WriteText("d", nullptr, nullptr, kInfinite), 0);
  ASSERT_EQ(link.WaitEvent(nullptr, kInfinite), 0);
  EXPECT_EQ(link.TakeEvent(), EV_TXEMPTY);
}

}  // namespace
