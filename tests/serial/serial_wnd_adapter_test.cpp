// CSerialWndAdapter with a Qt window: notifications arrive as posted events
// on the window's thread, and a window that is gone is passed over quietly.

#include "serial/serial_wnd_adapter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <QThread>
#include <vector>

#include "platform/qt_window_messages.h"
#include "serial_test_support.h"

namespace {

using namespace serial;
using serial_test::PtyPair;

class MessageWindow : public QObject {
 public:
  std::vector<serial_test::PostedMessage> received;
  bool onOwnThread = true;

 protected:
  void customEvent(QEvent* event) override {
    if (const auto* m = platform::AsWindowMessage(event)) {
      received.push_back({m->Message(), m->First(), m->Second()});
      onOwnThread = onOwnThread && QThread::currentThread() == thread();
    }
  }
};

using ObservedAdapter = serial_test::Observed<CSerialWndAdapter>;

TEST(SerialWndAdapter, NotificationsReachTheQtWindow) {
  PtyPair pty;
  MessageWindow window;
  CSerialWndAdapter serial;
  ASSERT_EQ(serial.OpenAndWatch(pty.SlavePath().c_str(), &window, 0, 9, 2048, 2048), 0);
  pty.Send("$GPRMC\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.received.empty(); }, serial_test::kPatienceMs));
  EXPECT_EQ(window.received[0].message, CSerialWnd::DefaultComMsg());
  EXPECT_EQ(window.received[0].first & 0xFFFF, EV_RXCHAR);
  EXPECT_EQ(window.received[0].second, 9);
  EXPECT_TRUE(window.onOwnThread);
  EXPECT_EQ(platform::QtWindowHandle(&window), platform::QtWindowHandle(&window));
}  // destroyed while watching

TEST(SerialWndAdapter, AWindowThatIsGoneIsPassedOver) {
  PtyPair pty;
  auto* window = new MessageWindow;
  ObservedAdapter serial;
  ASSERT_EQ(serial.OpenAndWatch(pty.SlavePath().c_str(), window, 0, 0, 2048, 2048), 0);
  delete window;
  pty.Send("x");
  ASSERT_TRUE(serial.WaitForArms(2));  // the post failed and the watcher went on
  QCoreApplication::processEvents();
  EXPECT_EQ(serial.Close(), 0);

  ASSERT_EQ(serial.OpenAndWatch(pty.SlavePath().c_str(), static_cast<QObject*>(nullptr), 0, 0, 2048, 2048),
            0);
  pty.Send("y");
  ASSERT_TRUE(serial.WaitForArms(4));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
