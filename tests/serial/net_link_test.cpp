// Network sources under the serial link, on the loopback: a raw TCP stream
// and a scripted gpsd. The link must look to its users exactly as with a
// device: bytes and notifications as they come, settings that are read back,
// a lost connection reported as a hang-up, and gpsd's own lines never read.

#include <gtest/gtest.h>

#include <string>

#include "net_test_support.h"
#include "serial/serial_wnd.h"
#include "serial_test_support.h"

namespace {

using namespace serial;
using serial_test::LoopbackPeer;
using serial_test::RecordingWindow;

constexpr std::uint32_t kPatience = serial_test::kPatienceMs;

// Reads exactly `count` bytes, waiting for them.
std::string ReadExactly(CSerialLink& link, std::size_t count) {
  std::string text(count, '\0');
  std::uint32_t got = 0;
  link.SetReadMode(ReadBlocking);
  const Status s = link.Read(text.data(), static_cast<std::uint32_t>(count), &got, nullptr, kPatience);
  link.SetReadMode(ReadNonBlocking);
  text.resize(s == ERROR_SUCCESS ? got : 0);
  return text;
}

bool HasEvent(const std::vector<serial_test::PostedMessage>& messages, std::uint32_t event) {
  for (const auto& m : messages) {
    if (m.first & event) return true;
  }
  return false;
}

TEST(SerialNetLink, TcpSourceCarriesBytesBothWaysAndKeepsItsSettings) {
  LoopbackPeer peer;
  CSerialLink link;
  // A host name goes through the look-up; "localhost" may come first as ::1,
  // where nothing listens, and then as 127.0.0.1.
  const std::string address = "TCP://LocalHost:" + std::to_string(peer.Port());
  ASSERT_EQ(link.Open(address.c_str(), 2048, 2048), 0) << link.FailureDetail();
  ASSERT_TRUE(peer.Accept());
  EXPECT_TRUE(link.IsNetworkSource());
  EXPECT_TRUE(link.TakesWrites());
  EXPECT_EQ(link.SourceAddress(), "tcp://localhost:" + std::to_string(peer.Port()));

  // The defaults, and settings that change nothing on the wire but are
  // reported back, so that the window and the UART dialog work as with a
  // device.
  EXPECT_EQ(link.GetBaudRate(), 9600);
  EXPECT_EQ(link.GetEventMask(), kDefaultEventMask);
  EXPECT_EQ(link.Configure(4800, 7, 2, 0), 0);
  EXPECT_EQ(link.GetBaudRate(), 4800);
  EXPECT_EQ(link.GetDataBits(), 7);
  EXPECT_EQ(link.GetParity(), 2);
  EXPECT_EQ(link.SetFlowControl(FlowHardware), 0);
  EXPECT_EQ(link.GetFlowControl(), FlowHardware);
  EXPECT_EQ(link.SetFlowControl(static_cast<SerialFlow>(3)), E_INVALIDARG);
  // No line errors and no modem lines, as on a pseudo-terminal.
  EXPECT_EQ(link.GetLineErrors(), 0u);
  EXPECT_EQ(link.LastError(), ERROR_INVALID_FUNCTION);
  EXPECT_FALSE(link.IsCtsOn());

  const std::string sentence = "$GPGGA,120000.00,4722.6146,N,00832.5022,E,1,08,1.0,408.0,M,48.0,M,,*55\r\n";
  peer.Send(sentence);
  EXPECT_EQ(ReadExactly(link, sentence.size()), sentence);
  EXPECT_EQ(link.WriteText("$PVLRX600*76\r\n", nullptr, nullptr, kPatience), 0);
  EXPECT_EQ(peer.TakeLine(), "$PVLRX600*76\r\n");

  // Purge drops what came and was not read, and nothing after it.
  peer.Send("stale");
  ASSERT_EQ(link.WaitEvent(nullptr, kPatience), 0);
  EXPECT_NE(link.TakeEvent() & EV_RXCHAR, 0u);
  EXPECT_EQ(link.Purge(), 0);
  char buffer[16];
  std::uint32_t got = 99;
  EXPECT_EQ(link.Read(buffer, sizeof buffer, &got, nullptr, 0), 0);
  EXPECT_EQ(got, 0u);
  peer.Send("fresh");
  EXPECT_EQ(ReadExactly(link, 5), "fresh");

  EXPECT_EQ(link.Close(), 0);
  EXPECT_FALSE(link.IsNetworkSource());
  EXPECT_EQ(peer.TakeUntilClosed(), "");
}

// The far end going away, politely or not, is what an unplugged device is:
// one notification with EV_ERR, then the watcher ends; reads give nothing.
class SerialNetHangUp : public ::testing::TestWithParam<bool> {};

TEST_P(SerialNetHangUp, IsReportedOnceAndTheWatcherEnds) {
  const bool reset = GetParam();
  LoopbackPeer peer;
  RecordingWindow window;
  const int descriptors = serial_test::OpenDescriptorCount();
  serial_test::Observed<CSerialWnd> wnd;
  ASSERT_EQ(wnd.OpenAndWatch(peer.Address().c_str(), window.Handle(), 0, 7, 2048, 2048), 0);
  ASSERT_TRUE(peer.Accept());
  peer.Send("$GPRMC\r\n");
  ASSERT_TRUE(window.WaitForCount(1));
  EXPECT_EQ(window.Messages().front().first & 0xFFFF, EV_RXCHAR);
  EXPECT_EQ(window.Messages().front().second, 7);
  char buffer[64];
  std::uint32_t got = 0;
  ASSERT_EQ(wnd.Read(buffer, sizeof buffer, &got, nullptr, kInfinite), 0);
  EXPECT_EQ(std::string(buffer, got), "$GPRMC\r\n");

  ASSERT_TRUE(wnd.WaitForArms(2));
  if (reset) {
    peer.Reset();
  } else {
    peer.Close();
  }
  ASSERT_TRUE(window.WaitForCount(2));
  EXPECT_NE(window.Messages().back().first & EV_ERR, 0u);
  ASSERT_TRUE(wnd.WaitForArms(3));
  EXPECT_TRUE(serial_test::WatchersSettleAt(0)) << "the re-arm found the connection gone";
  got = 99;
  const Status read = wnd.Read(buffer, sizeof buffer, &got, nullptr, kInfinite);
  EXPECT_TRUE(read == ERROR_SUCCESS || read == ERROR_IO_DEVICE) << read;
  EXPECT_EQ(got, 0u);
  if (reset) {
    EXPECT_EQ(wnd.Write("x", 1, nullptr, nullptr, kPatience), ERROR_IO_DEVICE);
  }
  EXPECT_EQ(wnd.Close(), 0);
  EXPECT_EQ(window.Messages().size(), 2u);
  EXPECT_TRUE(serial_test::EnginesSettleAt(0));
  peer.Close();
  EXPECT_EQ(serial_test::OpenDescriptorCount(), descriptors);
}

INSTANTIATE_TEST_SUITE_P(SerialNet, SerialNetHangUp, ::testing::Bool());

TEST(SerialNetLink, AddressesThatCannotOpenSayWhy) {
  CSerialLink link;
  const std::string refused = "tcp://127.0.0.1:" + std::to_string(serial_test::RefusingPort());
  EXPECT_EQ(link.Open(refused.c_str(), 2048, 2048), ERROR_CONNECTION_REFUSED);
  EXPECT_NE(link.FailureDetail().find("connection refused by 127.0.0.1:"), std::string::npos)
      << link.FailureDetail();
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(CSerialLink::ProbePort(refused.c_str()), PortNotPresent);

  EXPECT_EQ(link.Open("tcp://127.0.0.1", 2048, 2048), ERROR_INVALID_NAME);
  EXPECT_EQ(link.FailureDetail(),
            "\"tcp://127.0.0.1\" is not a usable address: a tcp:// address needs a port (tcp://host:port)");
  EXPECT_FALSE(link.IsOpen());

  // A device that fails after a network source failed carries no stale detail.
  EXPECT_EQ(link.Open("/dev/gpsdesk-no-such-device", 2048, 2048), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(link.FailureDetail(), "");

  LoopbackPeer peer;
  EXPECT_EQ(CSerialLink::ProbePort(peer.Address().c_str()), PortAvailable);
}

// gpsd, as release 3.22 answers: a VERSION banner on connect, then DEVICES
// and WATCH for the ?WATCH request, then the receiver's lines as they came,
// with gpsd's own objects between them.
constexpr char kVersion[] =
    "{\"class\":\"VERSION\",\"release\":\"3.22\",\"rev\":\"3.22\",\"proto_major\":3,\"proto_minor\":14}\r\n";
constexpr char kDevices[] =
    "{\"class\":\"DEVICES\",\"devices\":[{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":"
    "\"2024-05-01T10:00:00.000Z\",\"native\":0,\"bps\":9600,\"parity\":\"N\",\"stopbits\":1,\"cycle\":1.00}]}"
    "\r\n";
constexpr char kWatch[] =
    "{\"class\":\"WATCH\",\"enable\":true,\"json\":false,\"nmea\":false,\"raw\":1,\"scaled\":false,"
    "\"timing\":false,\"split24\":false,\"pps\":false,\"device\":\"/dev/ttyUSB0\"}\r\n";

class SerialNetGpsd : public ::testing::Test {
 protected:
  // Answers the handshake, then sends `after` in the same write as WATCH.
  void AnswerWatch(std::string after = {}) {
    peer.Serve([this, after](LoopbackPeer& p) {
      p.Send(kVersion);
      request = p.TakeLine();
      p.Send(std::string(kDevices) + kWatch + after);
    });
  }

  LoopbackPeer peer;
  RecordingWindow window;
  std::string request;
};

TEST_F(SerialNetGpsd, OnlyTheReceiversLinesAreReadWithTheirOwnLineEnds) {
  const std::string first = "$GNRMC,171931.00,A,4404.14038,N,12118.85466,W,0.097,,180315,,,A*78\r\n";
  AnswerWatch(first);
  CSerialWnd wnd;
  ASSERT_EQ(wnd.OpenAndWatch(peer.Address("gpsd", "/dev/ttyUSB0").c_str(), window.Handle(), 0, 0, 2048, 2048),
            0)
      << wnd.FailureDetail();
  peer.Join();
  EXPECT_EQ(request, "?WATCH={\"enable\":true,\"raw\":1,\"device\":\"/dev/ttyUSB0\"}\n");
  EXPECT_FALSE(wnd.TakesWrites());
  EXPECT_EQ(wnd.SourceAddress(), peer.Address("gpsd", "/dev/ttyUSB0"));

  // gpsd's objects in between, and lines split at awkward places.
  const std::string second = "$GNVTG,,T,,M,0.097,N,0.180,K,A*3A\n";  // another log's line end
  const std::string third = "$PUBX,00,nochecksum\r\n";
  peer.Send("{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"driver\":\"NMEA0183\"}\r\n$GNV");
  peer.Send(second.substr(4) + "{\"class\":\"ERROR\",\"message\":\"x\"}");
  peer.Send("\r\n" + third.substr(0, 1));
  peer.Send(third.substr(1));
  const std::string expected = first + second + third;
  EXPECT_EQ(ReadExactly(wnd, expected.size()), expected);
  ASSERT_TRUE(window.WaitForCount(1));
  EXPECT_TRUE(HasEvent(window.Messages(), EV_RXCHAR));
  char extra[8];
  std::uint32_t got = 99;
  EXPECT_EQ(wnd.Read(extra, sizeof extra, &got, nullptr, 0), 0);
  EXPECT_EQ(got, 0u) << "no JSON byte is left to read";

  // gpsd's lines count as taken from the socket: after a long one, a short
  // arrival is still news.
  peer.Send("{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"x\":\"" + std::string(300, 'x') +
            "\"}\r\n$A\r\n");
  EXPECT_EQ(ReadExactly(wnd, 4), "$A\r\n");
  const std::size_t seen = window.Messages().size();
  peer.Send("$B\r\n");
  EXPECT_TRUE(window.WaitForCount(seen + 1));
  EXPECT_EQ(ReadExactly(wnd, 4), "$B\r\n");

  // Writing through gpsd is refused; nothing reaches it.
  EXPECT_EQ(wnd.WriteText("$PVLRX600*76\r\n", nullptr, nullptr, kPatience), ERROR_NOT_SUPPORTED);

  // gpsd drops the watched device: an unplug.
  peer.Send("{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB1\",\"activated\":0}\r\n$GPGGA\r\n");
  EXPECT_EQ(ReadExactly(wnd, 8), "$GPGGA\r\n") << "another device leaving changes nothing";
  // It is noticed as the news is read, as the window reads on every
  // notification; a read waiting for more ends as on a hung-up device.
  peer.Send("{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":0}\r\n");
  EXPECT_EQ(ReadExactly(wnd, 1), "");
  ASSERT_TRUE(serial_test::WatchersSettleAt(0));
  EXPECT_NE(window.Messages().back().first & EV_ERR, 0u);
  EXPECT_EQ(wnd.Close(), 0);
  EXPECT_EQ(peer.TakeUntilClosed(), "");
}

TEST_F(SerialNetGpsd, GpsdsErrorEndsTheOpenWithItsMessage) {
  peer.Serve([](LoopbackPeer& p) {
    p.Send(kVersion);
    p.TakeLine();
    p.Send("{\"class\":\"ERROR\",\"message\":\"No such device as /dev/ttyUSB9\"}\r\n");
    p.TakeUntilClosed();
  });
  CSerialWnd wnd;
  EXPECT_EQ(wnd.OpenAndWatch(peer.Address("gpsd", "/dev/ttyUSB9").c_str(), window.Handle(), 0, 0, 2048, 2048),
            ERROR_DEV_NOT_EXIST);
  EXPECT_EQ(wnd.FailureDetail(), "gpsd: No such device as /dev/ttyUSB9");
  EXPECT_FALSE(wnd.IsOpen());
  EXPECT_FALSE(wnd.IsWatching());
}

TEST_F(SerialNetGpsd, AServerThatIsNotGpsdIsRefused) {
  peer.Serve([](LoopbackPeer& p) {
    p.Send("$GPGGA,120000.00,,,,,0,00,,,M,,M,,*66\r\n");
    p.TakeUntilClosed();
  });
  CSerialLink link;
  EXPECT_EQ(link.Open(peer.Address("gpsd").c_str(), 2048, 2048), ERROR_BAD_NET_RESP);
  EXPECT_NE(link.FailureDetail().find("does not answer as gpsd does (it sent \"$GPGGA,"), std::string::npos)
      << link.FailureDetail();
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
