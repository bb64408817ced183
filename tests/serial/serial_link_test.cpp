// CSerialLink on real pseudo-terminals.

#include "serial/serial_link.h"

#include <gtest/gtest.h>

#include <string>

#include "serial_test_support.h"

namespace {

using namespace serial;
using serial_test::PtyPair;

class SerialLinkPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), 0); }
  // Reads what is there now (non-blocking mode).
  std::string ReadNow() {
    char buffer[64];
    std::uint32_t got = 0;
    EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, 0), 0);
    return std::string(buffer, got);
  }

  PtyPair pty;
  CSerialLink link;
};

TEST_F(SerialLinkPty, SecondOpenIsRefusedAndTheFirstStaysUsable) {
  EXPECT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), ERROR_ALREADY_INITIALIZED);
  EXPECT_EQ(link.LastError(), ERROR_ALREADY_INITIALIZED);
  std::uint32_t written = 0;
  EXPECT_EQ(link.WriteText("$PVLRX600*1A\r\n", &written, nullptr, kInfinite), 0);
  EXPECT_EQ(written, 14u);
  EXPECT_EQ(pty.TakeExactly(14), "$PVLRX600*1A\r\n");
}

TEST_F(SerialLinkPty, DefaultsReadBackAfterOpen) {
  EXPECT_EQ(link.GetBaudRate(), 9600);
  EXPECT_EQ(link.GetDataBits(), 8);
  EXPECT_EQ(link.GetParity(), 0);
  EXPECT_EQ(link.GetStopBits(), 0);
  EXPECT_EQ(link.GetFlowControl(), FlowOff);
  EXPECT_EQ(link.GetEventMask(), 0xC1u);
  EXPECT_EQ(link.LastError(), 0);
  // Non-blocking reads: nothing received is 0 bytes at once, even with no time limit.
  char buffer[100];
  std::uint32_t got = 99;
  EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, kInfinite), 0);
  EXPECT_EQ(got, 0u);
}

TEST_F(SerialLinkPty, EveryOfferedBaudRateReadsBack) {
  for (std::int32_t rate : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 76800, 115200}) {
    EXPECT_EQ(link.Configure(rate, 8, 0, 0), 0) << rate;
    EXPECT_EQ(link.GetBaudRate(), rate);
  }
}

TEST_F(SerialLinkPty, BytesPassUnchangedBothWays) {
  // Raw 8-bit transfer: no CR/LF translation, no echo, no stripping, no XON/XOFF.
  const std::string bytes("$GPGGA\r\n\x00\x7f\x80\xff\x03\x11\x13\n", 16);
  link.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), nullptr, nullptr, kInfinite);
  EXPECT_EQ(pty.TakeExactly(bytes.size()), bytes);

  pty.Send(bytes);
  ASSERT_EQ(link.SetReadMode(ReadBlocking), 0);
  char buffer[16];
  std::uint32_t got = 0;
  EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, kInfinite), 0);  // waits for all 16
  EXPECT_EQ(std::string(buffer, got), bytes);
  EXPECT_TRUE(pty.TakeAvailable().empty());
}

TEST_F(SerialLinkPty, ModesAndFormatsOutsideTheirSetChangeNothing) {
  ASSERT_EQ(link.SetFlowControl(FlowSoftware), 0);
  EXPECT_EQ(link.SetFlowControl(static_cast<SerialFlow>(3)), E_INVALIDARG);
  EXPECT_EQ(link.LastError(), E_INVALIDARG);
  EXPECT_EQ(link.GetFlowControl(), FlowSoftware);

  // A read with no time to wait tells the modes apart: non-blocking returns 0
  // with nothing, blocking runs out of time.
  char buffer[8];
  std::uint32_t got = 0;
  EXPECT_EQ(link.SetReadMode(static_cast<SerialReadMode>(2)), E_INVALIDARG);
  EXPECT_EQ(link.LastError(), E_INVALIDARG);
  EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, 0), 0);  // still non-blocking
  ASSERT_EQ(link.SetReadMode(ReadBlocking), 0);
  EXPECT_EQ(link.SetReadMode(static_cast<SerialReadMode>(2)), E_INVALIDARG);
  EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, 0), ERROR_TIMEOUT);  // still blocking
  EXPECT_EQ(link.SetReadMode(static_cast<SerialReadMode>(-1)), E_INVALIDARG);
  EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, 0), ERROR_TIMEOUT);

  EXPECT_EQ(link.Configure(0, 8, 0, 0), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.GetBaudRate(), 9600);
}

TEST_F(SerialLinkPty, EventCharacterIsKeptAndCanJoinTheMask) {
  EXPECT_EQ(link.SetEventChar('\n', true), 0);
  EXPECT_EQ(link.GetEventMask(), 0xC3u);
  EXPECT_EQ(link.GetEventChar(), '\n');
  EXPECT_EQ(link.SetEventChar('$', false), 0);
  EXPECT_EQ(link.GetEventChar(), '$');
  EXPECT_EQ(link.GetEventMask(), 0xC3u);
}

TEST_F(SerialLinkPty, ReadThatTimesOutLeavesNothingPendingAndKeepsWhatCame) {
  ASSERT_EQ(link.SetReadMode(ReadBlocking), 0);
  char buffer[8] = {};
  std::uint32_t got = 99;
  EXPECT_EQ(link.Read(buffer, 8, &got, nullptr, 20), ERROR_TIMEOUT);
  EXPECT_EQ(link.LastError(), ERROR_TIMEOUT);
  EXPECT_EQ(got, 0u);

  // Part of the request came: the count tells what is in the buffer.
  pty.Send("ab");
  ASSERT_EQ(link.WaitEvent(nullptr, kInfinite), 0);
  EXPECT_EQ(link.Read(buffer, 8, &got, nullptr, 0), ERROR_TIMEOUT);
  EXPECT_EQ(std::string(buffer, got), "ab");

  // Nothing goes on reading in the background: later bytes wait for the next read.
  pty.Send("cdef");
  EXPECT_EQ(link.Read(buffer, 4, &got, nullptr, kInfinite), 0);
  EXPECT_EQ(std::string(buffer, got), "cdef");
}

TEST_F(SerialLinkPty, WriteThatTimesOutLeavesNothingPending) {
  // Nobody reads the far end, so the pseudo-terminal's buffer fills.
  const std::string big(1 << 20, 'x');
  std::uint32_t written = 0;
  EXPECT_EQ(link.Write(big.data(), static_cast<std::uint32_t>(big.size()), &written, nullptr, 20),
            ERROR_TIMEOUT);
  EXPECT_LT(written, big.size());
  // Exactly the bytes counted went out; none follow once the call is over.
  EXPECT_EQ(pty.TakeExactly(written).size(), written);
  EXPECT_TRUE(pty.TakeAvailable().empty());
  EXPECT_EQ(link.WriteText("ok", &written, nullptr, kInfinite), 0);
  EXPECT_EQ(pty.TakeExactly(2), "ok");
}

TEST_F(SerialLinkPty, EventWaits) {
  EXPECT_EQ(link.WaitEvent(nullptr, 10), ERROR_TIMEOUT);
  EXPECT_EQ(link.TakeEvent(), kNoEvent);
  pty.Send("x");
  EXPECT_EQ(link.WaitEvent(nullptr, kInfinite), 0);
  EXPECT_EQ(link.TakeEvent(), EV_RXCHAR);
  EXPECT_EQ(link.TakeEvent(), kNoEvent);
  // The byte is still unread, but it has been reported.
  EXPECT_EQ(link.WaitEvent(nullptr, 10), ERROR_TIMEOUT);

  // With a caller's record the wait stays pending, one at a time.
  EXPECT_EQ(ReadNow(), "x");
  SerialCompletion record;
  ASSERT_EQ(CreateSerialEvent(record.event), 0);
  EXPECT_EQ(link.WaitEvent(&record, kInfinite), 0);
  EXPECT_FALSE(IsSerialEventSignalled(record.event));
  EXPECT_EQ(link.WaitEvent(nullptr, 0), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.TakeEvent(), kNoEvent);
  pty.Send("$");
  const SerialEvent list[] = {record.event};
  EXPECT_EQ(WaitForSerialEvents(list, serial_test::kPatienceMs), 0);
  EXPECT_EQ(link.TakeEvent(), EV_RXCHAR);

  // Purge drops the input; a write the driver takes whole completes at once.
  EXPECT_EQ(link.Purge(), 0);
  EXPECT_EQ(ReadNow(), "");
  std::uint32_t count = 0;
  EXPECT_EQ(link.WriteText("abc", &count, &record, kInfinite), 0);
  EXPECT_TRUE(IsSerialEventSignalled(record.event));
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(record.transferred.load(), 3u);
  EXPECT_EQ(pty.TakeExactly(3), "abc");
  SerialCompletion noEvent;
  EXPECT_EQ(link.WriteText("abc", &count, &noEvent, 0), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.WaitEvent(&noEvent, 0), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.GetResult(&noEvent, &count, true), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.GetResult(nullptr, &count, true), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.Read(nullptr, 4, &count, nullptr, 0), ERROR_INVALID_PARAMETER);
  CloseSerialEvent(record.event);
}

TEST_F(SerialLinkPty, HeldPortIsRefusedToOthersUntilClosed) {
  EXPECT_EQ(CSerialLink::ProbePort(pty.SlavePath().c_str()), PortInUse);
  CSerialLink other;
  EXPECT_EQ(other.Open(pty.SlavePath().c_str(), 2048, 2048), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(other.IsOpen());
  EXPECT_EQ(link.Close(), 0);
  EXPECT_EQ(CSerialLink::ProbePort(pty.SlavePath().c_str()), PortAvailable);
  EXPECT_EQ(other.Open(pty.SlavePath().c_str(), 2048, 2048), 0);
}

TEST(SerialLinkOpen, MissingPortsAreNotFound) {
  CSerialLink link;
  for (const char* name : {"/dev/gpsdesk-no-such-port", "NOTAPORT", "", "COM0", "COM256"}) {
    EXPECT_EQ(link.Open(name, 2048, 2048), ERROR_FILE_NOT_FOUND) << name;
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(CSerialLink::ProbePort(name), PortNotPresent) << name;
  }
  EXPECT_EQ(link.Open(nullptr, 2048, 2048), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.Open("/dev/null", 2048, 2048), ERROR_INVALID_FUNCTION);  // not a tty
  EXPECT_EQ(CSerialLink::ProbePort("/dev/null"), PortUnknown);
  EXPECT_FALSE(link.IsOpen());
}

TEST(SerialLinkClosed, EveryOperationReportsTheClosedPort) {
  CSerialLink link;
  EXPECT_EQ(link.TakeEvent(), kNoEvent);
  char buffer[4];
  std::uint32_t count = 7;
  for (Status s :
       {link.Configure(9600, 8, 0, 0), link.SetEventChar('x', true), link.SetEventMask(EV_RXCHAR),
        link.WaitEvent(nullptr, 0), link.SetFlowControl(FlowOff), link.SetReadMode(ReadNonBlocking),
        link.WriteText("x", &count, nullptr, 0), link.Read(buffer, 4, &count, nullptr, 0), link.Purge()}) {
    EXPECT_EQ(s, ERROR_INVALID_HANDLE);
  }
  EXPECT_EQ(count, 0u);
  for (std::int32_t v : {link.GetBaudRate(), link.GetDataBits(), link.GetParity(), link.GetStopBits(),
                         link.GetFlowControl()}) {
    EXPECT_EQ(v, -1);
  }
  EXPECT_EQ(link.GetEventMask(), 0u);
  EXPECT_EQ(link.GetEventChar(), 0);
  EXPECT_EQ(link.GetLineErrors(), 0u);
  EXPECT_FALSE(link.IsCtsOn() || link.IsDsrOn() || link.IsRingOn() || link.IsRlsdOn());
  EXPECT_EQ(link.LastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(link.Close(), 0);
  EXPECT_EQ(link.LastError(), 0);
  EXPECT_EQ(link.TakeEvent(), kNoEvent);
}

}  // namespace
