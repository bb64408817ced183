// The watcher thread and its notifications, on real pseudo-terminals.

#include "serial/serial_wnd.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "serial_test_support.h"

namespace {

using namespace serial;
using serial_test::PtyPair;
using serial_test::RecordingWindow;
using serial_test::WatchersSettleAt;

using ObservedWnd = serial_test::Observed<CSerialWnd>;

class SerialWnd : public ::testing::Test {
 protected:
  Status Watch(CSerialWnd& wnd, platform::MessageId message = 0, std::int32_t value = 0) {
    return wnd.OpenAndWatch(pty.SlavePath().c_str(), window.Handle(), message, value, 2048, 2048);
  }

  PtyPair pty;
  RecordingWindow window;
  const int descriptors = serial_test::OpenDescriptorCount();
};

TEST_F(SerialWnd, ArrivalPostsTheDefaultMessageWithTheUserValue) {
  const platform::MessageId registered = platform::RegisterWindowMessage("CSerialWnd_DefaultComMsg");
  EXPECT_EQ(CSerialWnd::DefaultComMsg(), registered);
  CSerialWnd wnd;
  ASSERT_EQ(Watch(wnd, 0, 4242), 0);
  EXPECT_EQ(wnd.GetEventMask(), 0xC1u);  // the defaults were applied
  pty.Send("$GPGGA,1\r\n");
  ASSERT_TRUE(window.WaitForCount(1));
  const serial_test::PostedMessage m = window.Messages().front();
  EXPECT_EQ(m.message, registered);
  EXPECT_EQ(m.first, EV_RXCHAR);  // no line errors: high word 0
  EXPECT_EQ(m.second, 4242);
  char buffer[100];
  std::uint32_t got = 0;
  EXPECT_EQ(wnd.Read(buffer, sizeof buffer, &got, nullptr, kInfinite), 0);
  EXPECT_EQ(std::string(buffer, got), "$GPGGA,1\r\n");

  ASSERT_EQ(wnd.Close(), 0);
  CSerialWnd other;
  ASSERT_EQ(Watch(other, 0x8123, -7), 0);  // a given id is posted as it is
  pty.Send("x");
  ASSERT_TRUE(window.WaitForCount(2));
  EXPECT_EQ(window.Messages()[1].message, 0x8123u);
  EXPECT_EQ(window.Messages()[1].second, -7);
}

TEST_F(SerialWnd, OneNotificationPerArrivalNotPerWaitingByte) {
  ObservedWnd wnd;
  ASSERT_EQ(Watch(wnd), 0);
  pty.Send("x");
  ASSERT_TRUE(window.WaitForCount(1));
  ASSERT_TRUE(wnd.WaitForArms(2));  // re-armed with the byte still unread
  // The byte sits undrained: the watcher must wait, not spin and not repeat.
  EXPECT_FALSE(window.WaitForCount(2, 500));
  pty.Send("y");  // a later arrival is a new notification
  ASSERT_TRUE(window.WaitForCount(2));
  char buffer[8];
  std::uint32_t got = 0;
  wnd.Read(buffer, sizeof buffer, &got, nullptr, 0);
  EXPECT_EQ(std::string(buffer, got), "xy");
}

TEST_F(SerialWnd, CloseWithNothingReceivedAndCloseTwice) {
  CSerialWnd wnd;
  ASSERT_EQ(Watch(wnd), 0);
  EXPECT_EQ(serial_test::WatcherCount(), 1);
  EXPECT_EQ(wnd.Close(), 0);  // the stop signal ends the wait; no byte needed
  EXPECT_FALSE(wnd.IsWatching());
  EXPECT_FALSE(wnd.IsOpen());
  EXPECT_TRUE(WatchersSettleAt(0));
  EXPECT_EQ(wnd.Close(), 0);
  EXPECT_EQ(wnd.LastError(), 0);
  EXPECT_TRUE(window.Messages().empty());
}

TEST_F(SerialWnd, FailedOpenStartsNothingAndALaterOpenWorks) {
  CSerialWnd wnd;
  EXPECT_EQ(wnd.OpenAndWatch("/dev/gpsdesk-no-such-port", window.Handle(), 0, 0, 2048, 2048),
            ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(wnd.IsWatching());
  EXPECT_EQ(serial_test::WatcherCount(), 0);
  EXPECT_EQ(serial_test::OpenDescriptorCount(), descriptors);

  ASSERT_EQ(Watch(wnd), 0);
  EXPECT_EQ(Watch(wnd), ERROR_ALREADY_INITIALIZED);
  CSerialWnd other;
  EXPECT_EQ(Watch(other), ERROR_ACCESS_DENIED);  // held by the first
  EXPECT_EQ(serial_test::WatcherCount(), 1);
  pty.Send("x");
  EXPECT_TRUE(window.WaitForCount(1));  // the first watcher still works
}

TEST_F(SerialWnd, DestroyingAWatchingObjectStopsTheWatcherFirst) {
  {
    ObservedWnd wnd;
    ASSERT_EQ(Watch(wnd), 0);
    pty.Send("x");
    ASSERT_TRUE(window.WaitForCount(1));
    ASSERT_TRUE(wnd.WaitForArms(2));
  }
  {
    CSerialWnd plain;  // the base destructor alone does the same
    ASSERT_EQ(Watch(plain), 0);
  }
  EXPECT_TRUE(WatchersSettleAt(0));
  EXPECT_TRUE(serial_test::EnginesSettleAt(0));
  EXPECT_EQ(serial_test::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(CSerialLink::ProbePort(pty.SlavePath().c_str()), PortAvailable);
}

TEST_F(SerialWnd, APostToAVanishedWindowFailsQuietlyAndTheWatcherGoesOn) {
  ObservedWnd wnd;
  ASSERT_EQ(Watch(wnd), 0);
  window.Remove();
  pty.Send("x");
  ASSERT_TRUE(wnd.WaitForArms(2));  // took the event, failed to post, re-armed
  pty.Send("y");
  ASSERT_TRUE(wnd.WaitForArms(3));
  EXPECT_TRUE(window.Messages().empty());
}

TEST_F(SerialWnd, AFailedReArmEndsTheWatcherAndThePortStaysUsable) {
  ObservedWnd wnd;
  wnd.failFromArm = 2;
  ASSERT_EQ(Watch(wnd), 0);
  pty.Send("x");
  ASSERT_TRUE(window.WaitForCount(1));
  ASSERT_TRUE(wnd.WaitForArms(2));
  EXPECT_TRUE(WatchersSettleAt(0));  // ended by itself, not yet joined
  char c = 0;
  EXPECT_EQ(wnd.Read(&c, 1, nullptr, nullptr, 0), 0);
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(wnd.WriteText("ok", nullptr, nullptr, kInfinite), 0);
  EXPECT_EQ(pty.TakeExactly(2), "ok");
  EXPECT_EQ(wnd.Close(), 0);
  EXPECT_EQ(window.Messages().size(), 1u);
}

TEST_F(SerialWnd, AHungUpDeviceIsReportedOnceAndTheWatcherEnds) {
  ObservedWnd wnd;
  ASSERT_EQ(Watch(wnd), 0);
  ASSERT_TRUE(wnd.WaitForArms(1));
  pty.CloseMaster();  // the cable is pulled
  ASSERT_TRUE(window.WaitForCount(1));
  EXPECT_NE(window.Messages().front().first & EV_ERR, 0u);
  ASSERT_TRUE(wnd.WaitForArms(2));
  EXPECT_TRUE(WatchersSettleAt(0));  // the re-arm found the device gone
  EXPECT_EQ(wnd.Close(), 0);
  EXPECT_EQ(window.Messages().size(), 1u);
}

TEST_F(SerialWnd, ManyCyclesLeaveNoDescriptorOrThreadBehind) {
  CSerialWnd wnd;
  for (int cycle = 0; cycle < 2000; ++cycle) {
    ASSERT_EQ(Watch(wnd, 0, cycle), 0) << cycle;
    if (cycle % 100 == 0) {
      pty.Send("x");
      ASSERT_TRUE(window.WaitForCount(static_cast<std::size_t>(cycle / 100 + 1)));
      char buffer[8];
      wnd.Read(buffer, sizeof buffer, nullptr, nullptr, 0);
    }
    ASSERT_EQ(wnd.Close(), 0);
  }
  EXPECT_TRUE(WatchersSettleAt(0));
  EXPECT_TRUE(serial_test::EnginesSettleAt(0));
  EXPECT_EQ(serial_test::OpenDescriptorCount(), descriptors);
}

TEST_F(SerialWnd, LineEndsAreReportedAndTheWindowsDrainLosesNoByte) {
  CSerialWnd wnd;
  ASSERT_EQ(Watch(wnd), 0);
  ASSERT_EQ(wnd.SetEventChar('\n', true), 0);
  std::string sent;
  for (int i = 0; i < 3000; ++i)
    sent += "$GPGGA," + std::to_string(i) + ",4807.038,N,01131.000,E,1,08*47\r\n";
  // The receiver sends in pieces that end anywhere, while the window drains.
  std::thread receiver([&] {
    for (std::size_t at = 0; at < sent.size(); at += 500) pty.Send(std::string_view(sent).substr(at, 500));
  });
  std::string got;
  std::size_t seen = 0;
  bool flagged = false;
  while (got.size() < sent.size() && window.WaitForCount(seen + 1)) {
    const std::vector<serial_test::PostedMessage> messages = window.Messages();
    for (; seen < messages.size(); ++seen) flagged |= (messages[seen].first & EV_RXFLAG) != 0;
    // The window's way: reads of 100 bytes until a short one.
    char buffer[100];
    std::uint32_t n = 0;
    Status status = ERROR_SUCCESS;
    do {
      n = 0;
      status = wnd.Read(buffer, sizeof buffer, &n, nullptr, kInfinite);
      got.append(buffer, n);
    } while (status == ERROR_SUCCESS && n == sizeof buffer);
    EXPECT_EQ(status, ERROR_SUCCESS);
    if (status != ERROR_SUCCESS) break;
  }
  receiver.join();  // before any assertion can leave the test
  EXPECT_EQ(got.size(), sent.size());
  EXPECT_TRUE(got == sent);
  EXPECT_TRUE(flagged);
}

}  // namespace
