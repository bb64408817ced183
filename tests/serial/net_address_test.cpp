// Network addresses as typed or published, and gpsd's raw stream with gpsd's
// own lines taken out: the parts of a network source that need no socket.

#include "serial/net_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/gpsd_stream.h"

namespace {

using namespace serial;

TEST(SerialNetAddress, ValidAddressesInTheirCanonicalForm) {
  struct Case {
    const char* typed;
    const char* canonical;
  };
  for (const Case c : {
           Case{"tcp://192.168.1.20:2000", "tcp://192.168.1.20:2000"},
           Case{"TCP://Field-PC.local:2000", "tcp://field-pc.local:2000"},
           Case{"tcp://[::1]:65535", "tcp://[::1]:65535"},
           Case{"tcp://[fe80::1%eth0]:1", "tcp://[fe80::1%eth0]:1"},
           Case{"gpsd://localhost", "gpsd://localhost:2947"},
           Case{"gpsd://localhost/dev/ttyUSB0", "gpsd://localhost:2947/dev/ttyUSB0"},
           Case{"Gpsd://10.0.0.1:3000/dev/serial/by-id/usb-u-blox-if00",
                "gpsd://10.0.0.1:3000/dev/serial/by-id/usb-u-blox-if00"},
           Case{"gpsd://[2001:db8::7]", "gpsd://[2001:db8::7]:2947"},
       }) {
    NetAddress a;
    EXPECT_EQ(ParseNetAddress(c.typed, a), "") << c.typed;
    EXPECT_EQ(FormatNetAddress(a), c.canonical) << c.typed;
    NetAddress again;
    EXPECT_EQ(ParseNetAddress(FormatNetAddress(a), again), "");
    EXPECT_EQ(again, a) << c.typed;
  }
  NetAddress a;
  ASSERT_EQ(ParseNetAddress("gpsd://[::1]:2948/dev/ttyACM0", a), "");
  EXPECT_EQ(a.scheme, NetScheme::Gpsd);
  EXPECT_EQ(a.host, "::1");
  EXPECT_EQ(a.port, 2948);
  EXPECT_EQ(a.device, "/dev/ttyACM0");
  EXPECT_EQ(HostAndPort(a), "[::1]:2948");
}

TEST(SerialNetAddress, AnythingElseIsRefusedWithTheReason) {
  struct Case {
    const char* typed;
    const char* reason;  // a part of the text that says why
  };
  for (const Case c : {
           Case{"", "starts with tcp:// or gpsd://"},
           Case{"/dev/ttyUSB0", "starts with tcp:// or gpsd://"},
           Case{"udp://host:2000", "starts with tcp:// or gpsd://"},
           Case{" tcp://host:2000", "starts with tcp:// or gpsd://"},
           Case{"tcp://", "host is missing"},
           Case{"tcp://:2000", "host is missing"},
           Case{"tcp://host", "needs a port"},
           Case{"tcp://host:", "port must be"},
           Case{"tcp://host:0", "port must be"},
           Case{"tcp://host:65536", "port must be"},
           Case{"tcp://host:02000", "port must be"},
           Case{"tcp://host:+200", "port must be"},
           Case{"tcp://host:2000 ", "port must be"},
           Case{"tcp://host:2000/dev/ttyUSB0", "nothing may follow the port"},
           Case{"tcp://host:2000/", "nothing may follow the port"},
           Case{"tcp://user@host:2000", "no user name"},
           Case{"tcp://ho_st:2000", "only letters, digits"},
           Case{"tcp://-host:2000", "starts or ends with '-'"},
           Case{"tcp://host..lan:2000", "empty part"},
           Case{"tcp://host.:2000", "empty part"},
           Case{"tcp://256.1.1.1:2000", "not a valid IPv4"},
           Case{"tcp://1.2.3:2000", "not a valid IPv4"},
           Case{"tcp://01.2.3.4:2000", "not a valid IPv4"},
           Case{"tcp://::1:2000", "host is missing"},
           Case{"tcp://[::1:2000", "closing ]"},
           Case{"tcp://[::g]:2000", "not a valid IPv6"},
           Case{"tcp://[]:2000", "not a valid IPv6"},
           Case{"tcp://[fe80::1%]:2000", "zone"},
           Case{"tcp://[::1]x:2000", "only :port or /device"},
           Case{"gpsd://host/", "device path after the port is empty"},
           Case{"gpsd://host/dev/tty USB0", "may not hold blanks"},
           Case{"gpsd://host/dev/\"x", "may not hold blanks, quotes"},
           Case{"gpsd://host/dev/x?y", "'?'"},
           Case{"gpsd://host:2947/dev/\x01", "may not hold"},
           Case{"tcp://host\n:2000", "only letters"},
       }) {
    NetAddress a;
    const std::string problem = ParseNetAddress(c.typed, a);
    EXPECT_NE(problem.find(c.reason), std::string::npos) << '"' << c.typed << "\" gave \"" << problem << '"';
    EXPECT_EQ(a, NetAddress{}) << c.typed;
  }
  NetAddress a;
  EXPECT_NE(ParseNetAddress("tcp://" + std::string(254, 'a') + ":1", a), "");
  EXPECT_NE(ParseNetAddress("tcp://" + std::string(64, 'a') + ".lan:1", a), "");
  EXPECT_EQ(ParseNetAddress("tcp://" + std::string(63, 'a') + ".lan:1", a), "");
  EXPECT_NE(ParseNetAddress("gpsd://h/" + std::string(255, 'd'), a), "");
  EXPECT_EQ(QuotedText(std::string("a\x01\xff", 3)), "a??");
  EXPECT_EQ(QuotedText(std::string(100, 'x'), 10), "xxxxxxxxxx...");
}

// What gpsd sent, and what the receiver sent within it.
constexpr char kGpsdBytes[] =
    "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"driver\":\"NMEA0183\"}\r\n"
    "$GNRMC,171931.00,A,4404.14038,N,12118.85466,W,0.097,,180315,,,A*78\r\n"
    "{\"class\":\"TPV\",\"mode\":3}\r\n"
    "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":\"2024-05-01T10:00:00.000Z\"}\r\n"
    "$GNVTG,,T,,M,0.097,N,0.180,K,A*3A\n"
    "{}\n"
    "\n"
    "$PUBX,00 {not json}\r\n";
constexpr char kReceiverBytes[] =
    "$GNRMC,171931.00,A,4404.14038,N,12118.85466,W,0.097,,180315,,,A*78\r\n"
    "$GNVTG,,T,,M,0.097,N,0.180,K,A*3A\n"
    "\n"
    "$PUBX,00 {not json}\r\n";

std::string FilterInPieces(GpsdStream& stream, const std::string& bytes,
                           const std::vector<std::size_t>& cuts) {
  std::string out;
  std::size_t from = 0;
  std::vector<std::size_t> ends = cuts;
  ends.push_back(bytes.size());
  for (std::size_t end : ends) {
    std::string piece = bytes.substr(from, end - from);
    const std::size_t kept = stream.Filter(reinterpret_cast<unsigned char*>(piece.data()), piece.size());
    out += piece.substr(0, kept);
    from = end;
  }
  return out;
}

TEST(SerialGpsdStream, GpsdsLinesGoWhereverThePiecesAreCut) {
  const std::string bytes = kGpsdBytes;
  for (std::size_t a = 0; a <= bytes.size(); ++a) {
    GpsdStream stream("/dev/ttyUSB0");
    ASSERT_EQ(FilterInPieces(stream, bytes, {a}), kReceiverBytes) << "cut at " << a;
    EXPECT_FALSE(stream.DeviceGone());
  }
  GpsdStream byteByByte;
  std::vector<std::size_t> every;
  for (std::size_t i = 1; i < bytes.size(); ++i) every.push_back(i);
  EXPECT_EQ(FilterInPieces(byteByByte, bytes, every), kReceiverBytes);
}

TEST(SerialGpsdStream, OnlyTheWatchedDeviceLeavingCounts) {
  struct Case {
    const char* device;
    const char* line;
    bool gone;
  };
  for (const Case c : {
           Case{"/dev/ttyUSB0", "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":0}\r\n", true},
           Case{"/dev/ttyUSB0", "{\"class\":\"DEVICE\", \"path\": \"/dev/ttyUSB0\", \"activated\": 0}\n",
                true},
           Case{"/dev/ttyUSB0", "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB1\",\"activated\":0}\r\n",
                false},
           Case{"/dev/ttyUSB0", "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":0.5}\r\n",
                false},
           Case{"/dev/ttyUSB0",
                "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":\"2024-05-01T10:00:00Z\"}\r\n",
                false},
           Case{"/dev/ttyUSB0", "{\"class\":\"DEVICES\",\"path\":\"/dev/ttyUSB0\",\"activated\":0}\r\n",
                false},
           Case{"", "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":0}\r\n", false},
           Case{"/dev/ttyUSB0", "$GPTXT,{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":0}\r\n",
                false},
       }) {
    GpsdStream stream(c.device);
    std::string bytes = c.line;
    stream.Filter(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    EXPECT_EQ(stream.DeviceGone(), c.gone) << c.device << " " << c.line;
  }
  // A line too long to look into is dropped unread.
  GpsdStream stream("/dev/ttyUSB0");
  std::string longLine = "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":0,\"x\":\"" +
                         std::string(GpsdStream::kMaxJsonLine, 'x') + "\"}\n$GPGGA\r\n";
  const std::size_t kept = stream.Filter(reinterpret_cast<unsigned char*>(longLine.data()), longLine.size());
  EXPECT_EQ(longLine.substr(0, kept), "$GPGGA\r\n");
  EXPECT_FALSE(stream.DeviceGone());
}

TEST(SerialGpsdStream, MembersOfGpsdsObjects) {
  const std::string error = R"({"class":"ERROR","message":"No such device as \"/dev/x\"\n\u00e9\\"})";
  EXPECT_TRUE(JsonClassIs(error, "ERROR"));
  EXPECT_FALSE(JsonClassIs(error, "ERR"));
  EXPECT_EQ(JsonStringMember(error, "message"), "No such device as \"/dev/x\" ?\\");
  EXPECT_EQ(JsonStringMember(error, "path"), "");
  EXPECT_EQ(JsonStringMember(R"({"message":12})", "message"), "");
  EXPECT_EQ(JsonStringMember(R"({"message":"unterminated)", "message"), "unterminated");
  EXPECT_EQ(JsonStringMember(R"({"message":"a\)", "message"), "a\\");
  EXPECT_EQ(JsonStringMember("{\"message\":\"" + std::string(500, 'm') + "\"}", "message").size(), 200u);
}

}  // namespace
