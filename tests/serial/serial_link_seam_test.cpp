// What a pseudo-terminal cannot hold, through a stand-in for the system
// calls: parity and character size, flow-control switches, modem lines, error
// counters, and failures of the settings calls.

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

#include "serial/serial_link.h"
#include "serial/serial_wnd.h"
#include "serial_test_support.h"

namespace {

using namespace serial;
using serial_test::FakeSerialSystem;
using serial_test::PtyPair;

class SerialLinkSeam : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), 0); }

  PtyPair pty;
  FakeSerialSystem fake;
  CSerialLink link{fake};
};

TEST_F(SerialLinkSeam, OpenMakesTheLineRawWithTheDefaults) {
  const LineSettings& line = fake.line;
  EXPECT_EQ(line.lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(line.iflag & (ICRNL | IXON | IXOFF | INPCK), 0u);
  EXPECT_EQ(line.oflag & OPOST, 0u);
  EXPECT_EQ(line.cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CREAD | CLOCAL | HUPCL),
            static_cast<std::uint32_t>(CS8 | CREAD | CLOCAL | HUPCL));  // HUPCL as the system gave it
  EXPECT_EQ(line.baud, 9600u);
  EXPECT_EQ(line.cc[VMIN], 0);
  EXPECT_EQ(fake.modem & (TIOCM_DTR | TIOCM_RTS), 0);  // no flow control holds both low
}

TEST_F(SerialLinkSeam, LineFormats) {
  struct Case {
    std::int32_t dataBits, parity, stopBits;
  };
  for (Case c : {Case{8, 0, 0}, Case{7, 1, 0}, Case{7, 2, 2}, Case{8, 3, 0}, Case{8, 4, 2}, Case{5, 2, 1}}) {
    SCOPED_TRACE(testing::Message() << c.dataBits << "/" << c.parity << "/" << c.stopBits);
    ASSERT_EQ(link.Configure(4800, c.dataBits, c.parity, c.stopBits), 0);
    EXPECT_EQ(link.GetBaudRate(), 4800);
    EXPECT_EQ(link.GetDataBits(), c.dataBits);
    EXPECT_EQ(link.GetParity(), c.parity);
    EXPECT_EQ(link.GetStopBits(), c.stopBits);
    EXPECT_EQ((fake.line.iflag & INPCK) != 0, c.parity != 0);  // parity checking follows parity
  }
  // With checking off the parity reads 0, whatever the line still carries.
  fake.line.iflag &= ~static_cast<std::uint32_t>(INPCK);
  EXPECT_EQ(link.GetParity(), 0);

  // Formats a UART cannot make are refused before anything is written.
  const int calls = fake.setLineCalls;
  EXPECT_EQ(link.Configure(9600, 8, 0, 1), ERROR_INVALID_PARAMETER);  // 1.5 stop bits need 5 data bits
  EXPECT_EQ(link.Configure(9600, 5, 0, 2), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.Configure(9600, 9, 0, 0), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(link.Configure(9600, 8, 5, 0), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(fake.setLineCalls, calls);
}

TEST_F(SerialLinkSeam, FlowControlSwitches) {
  fake.line.iflag |= IXANY;  // a switch the modes do not own
  ASSERT_EQ(link.SetFlowControl(FlowHardware), 0);
  EXPECT_NE(fake.line.cflag & CRTSCTS, 0u);
  EXPECT_EQ(fake.line.iflag & (IXON | IXOFF), 0u);
  EXPECT_EQ(fake.modem & (TIOCM_DTR | TIOCM_RTS), TIOCM_DTR | TIOCM_RTS);
  EXPECT_EQ(link.GetFlowControl(), FlowHardware);

  ASSERT_EQ(link.SetFlowControl(FlowSoftware), 0);
  EXPECT_EQ(fake.line.cflag & CRTSCTS, 0u);
  EXPECT_EQ(fake.line.iflag & (IXON | IXOFF), static_cast<std::uint32_t>(IXON | IXOFF));
  EXPECT_EQ(fake.modem & (TIOCM_DTR | TIOCM_RTS), 0);
  EXPECT_EQ(link.GetFlowControl(), FlowSoftware);
  fake.line.iflag &= ~static_cast<std::uint32_t>(IXOFF);  // one direction only is not software flow
  EXPECT_EQ(link.GetFlowControl(), FlowOff);

  ASSERT_EQ(link.SetFlowControl(FlowOff), 0);
  EXPECT_EQ(fake.line.cflag & CRTSCTS, 0u);
  EXPECT_EQ(fake.line.iflag & (IXON | IXOFF | IXANY), static_cast<std::uint32_t>(IXANY));

  // A device without modem lines cannot take the handshake and keeps its mode;
  // the other modes have no lines to hold low.
  fake.modemError = ENOTTY;
  const int calls = fake.setLineCalls;
  EXPECT_EQ(link.SetFlowControl(FlowHardware), ERROR_INVALID_FUNCTION);
  EXPECT_EQ(link.LastError(), ERROR_INVALID_FUNCTION);
  EXPECT_EQ(fake.setLineCalls, calls);
  EXPECT_EQ(link.GetFlowControl(), FlowOff);
  EXPECT_EQ(link.SetFlowControl(FlowSoftware), 0);
  EXPECT_EQ(link.GetFlowControl(), FlowSoftware);
  EXPECT_EQ(link.SetFlowControl(FlowOff), 0);
  // Other failures of the lines are failures.
  fake.modemError = EIO;
  EXPECT_EQ(link.SetFlowControl(FlowSoftware), ERROR_IO_DEVICE);
}

TEST_F(SerialLinkSeam, ModemLines) {
  fake.modem = TIOCM_CTS | TIOCM_CAR;
  EXPECT_TRUE(link.IsCtsOn());
  EXPECT_FALSE(link.IsDsrOn());
  EXPECT_FALSE(link.IsRingOn());
  EXPECT_TRUE(link.IsRlsdOn());
  fake.modem = TIOCM_DSR | TIOCM_RNG;
  EXPECT_FALSE(link.IsCtsOn());
  EXPECT_TRUE(link.IsDsrOn());
  EXPECT_TRUE(link.IsRingOn());
  EXPECT_FALSE(link.IsRlsdOn());
  EXPECT_EQ(link.LastError(), 0);
  fake.modemError = EIO;
  EXPECT_FALSE(link.IsDsrOn());
  EXPECT_EQ(link.LastError(), ERROR_IO_DEVICE);
}

TEST_F(SerialLinkSeam, LineErrorsAreReportedOnceEach) {
  EXPECT_EQ(link.GetLineErrors(), 0u);
  fake.frame = 1;
  EXPECT_EQ(link.GetLineErrors(), CE_FRAME);
  EXPECT_EQ(link.GetLineErrors(), 0u);  // read and cleared
  fake.overrun = 2;
  fake.parity = 1;
  fake.brk = 1;
  fake.bufOverrun = 1;
  EXPECT_EQ(link.GetLineErrors(), CE_OVERRUN | CE_RXPARITY | CE_BREAK | CE_RXOVER);
  EXPECT_EQ(link.GetLineErrors(), 0u);
  EXPECT_EQ(link.LastError(), 0);

  // A failed query gives 0 and keeps the system's error.
  fake.counterError = ENOTTY;  // a device without counters
  EXPECT_EQ(link.GetLineErrors(), 0u);
  EXPECT_EQ(link.LastError(), ERROR_INVALID_FUNCTION);
  fake.counterError = EIO;
  EXPECT_EQ(link.GetLineErrors(), 0u);
  EXPECT_EQ(link.LastError(), ERROR_IO_DEVICE);
  fake.counterError = 0;
  fake.frame = 2;
  EXPECT_EQ(link.GetLineErrors(), CE_FRAME);
  EXPECT_EQ(link.LastError(), 0);
}

TEST_F(SerialLinkSeam, AFailedFirstReadOfTheSettingsWritesNothing) {
  const int calls = fake.setLineCalls;
  fake.getLineError = EIO;
  EXPECT_EQ(link.Configure(9600, 8, 0, 0), ERROR_IO_DEVICE);
  EXPECT_EQ(link.SetEventChar('x', true), ERROR_IO_DEVICE);
  EXPECT_EQ(link.SetFlowControl(FlowHardware), ERROR_IO_DEVICE);
  EXPECT_EQ(link.SetReadMode(ReadBlocking), ERROR_IO_DEVICE);
  EXPECT_EQ(link.GetBaudRate(), -1);
  EXPECT_EQ(link.LastError(), ERROR_IO_DEVICE);
  EXPECT_EQ(fake.setLineCalls, calls);
  EXPECT_EQ(link.GetEventMask(), 0xC1u);
  EXPECT_EQ(fake.modem & TIOCM_DTR, 0);
}

// Counts the Close calls that reach a derived class.
class CountingLink : public CSerialLink {
 public:
  using CSerialLink::CSerialLink;
  Status Close() override {
    ++closes;
    return CSerialLink::Close();
  }
  int closes = 0;
};

TEST(SerialLinkSeamOpen, AFailedOpenLeavesThePortClosed) {
  PtyPair pty;
  FakeSerialSystem fake;
  CountingLink link(fake);
  fake.queueError = ENOMEM;  // closes through the derived Close
  EXPECT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(link.closes, 1);
  EXPECT_FALSE(link.IsOpen());
  fake.queueError = 0;
  fake.modemError = EIO;  // the last default, no flow control, fails
  EXPECT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), ERROR_IO_DEVICE);
  EXPECT_FALSE(link.IsOpen());
  fake.modemError = 0;
  EXPECT_EQ(link.Open(pty.SlavePath().c_str(), 2048, 2048), 0);
}

TEST(SerialWndSeam, LineErrorsTravelWithTheirData) {
  PtyPair pty;
  FakeSerialSystem fake;
  serial_test::RecordingWindow window;
  CSerialWnd wnd(fake);
  ASSERT_EQ(wnd.OpenAndWatch(pty.SlavePath().c_str(), window.Handle(), 0, 0, 2048, 2048), 0);
  struct Case {
    std::atomic<std::uint32_t>* counter;
    std::uint32_t events, errors;
  };
  const Case cases[] = {
      {&fake.frame, EV_RXCHAR | EV_ERR, CE_FRAME},     {&fake.overrun, EV_RXCHAR | EV_ERR, CE_OVERRUN},
      {&fake.parity, EV_RXCHAR | EV_ERR, CE_RXPARITY}, {&fake.brk, EV_RXCHAR | EV_BREAK, CE_BREAK},
      {&fake.bufOverrun, EV_RXCHAR, CE_RXOVER},        {nullptr, EV_RXCHAR, 0},
  };
  std::size_t seen = 0;
  for (const Case& c : cases) {
    if (c.counter != nullptr) c.counter->fetch_add(1);
    pty.Send("x");
    ASSERT_TRUE(window.WaitForCount(++seen)) << seen;
    const serial_test::PostedMessage m = window.Messages().back();
    EXPECT_EQ(m.first & 0xFFFF, c.events) << seen;
    EXPECT_EQ(m.first >> 16, c.errors) << seen;
    char buffer[8];
    wnd.Read(buffer, sizeof buffer, nullptr, nullptr, 0);
  }
  EXPECT_EQ(wnd.Close(), 0);
  EXPECT_EQ(window.Messages().size(), seen);
}

}  // namespace
