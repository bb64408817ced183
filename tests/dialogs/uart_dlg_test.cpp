// The UART settings dialog: the sentence goes out first, the port follows
// after the wait, and the window keeps running meanwhile. The wait is ended
// here by delivering the dialog's timer tick from inside it, with the real
// timer set far enough out never to come first.

#include "dialogs/uart_dlg.h"

#include <QLabel>

#include "dialog_fixture.h"
#include "resources/uart_ids.h"

namespace dlgtest {
namespace {

using dialogs::CUartDlg;
using namespace ids::uart;

constexpr int kFarAway = 10 * 60 * 1000;

CUartDlg& Uart(dialogs::CConfigDlg& dlg) { return dynamic_cast<CUartDlg&>(dlg); }

// Runs `during` inside the wait that the next Send starts.
void DuringTheWait(std::function<void()> during) { QTimer::singleShot(0, std::move(during)); }

class UartDialog : public DialogTest {
 protected:
  std::string Label() const { return main.ItemText(ids::kSourceLabel); }
};

TEST_F(UartDialog, ListsAndTheHiddenParityRow) {
  Open(ids::kSetBaud, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Items(dlg, kProtocol), (std::vector<std::string>{"NMEA mode", "Velorin binary"}));
    EXPECT_EQ(Items(dlg, kBaud),
              (std::vector<std::string>{"1200", "2400", "4800", "9600", "19200", "38400", "57600"}));
    EXPECT_EQ(Items(dlg, kParity), (std::vector<std::string>{"None", "Odd", "Even"}));
    EXPECT_TRUE(dlg.Control(kParity)->isHidden());
    EXPECT_TRUE(dlg.Control(kParityLabel)->isHidden());
    EXPECT_EQ(dlg.ItemText(kParityLabel), "Parity");
    EXPECT_FALSE(dlg.Control(kWarning)->isHidden());
    EXPECT_EQ(dlg.ItemText(kWarning), "Please don't change  the baud rate of DA-ZIV");
    EXPECT_EQ(dlg.ItemText(kProtocol), "NMEA mode");
    EXPECT_EQ(dlg.ItemText(kBaud), "9600");

    Select(dlg, kProtocol, 1);
    Select(dlg, kBaud, 6);
    Select(dlg, kParity, 2);  // never sent
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX100,1,57600,0*68<CR><LF>");
  });
  EXPECT_EQ(main.uartSettings.baudIndex, 3);  // Close stored nothing
}

TEST_F(UartDialog, SendWaitsThenThePortFollows) {
  ASSERT_EQ(main.serial.GetBaudRate(), 9600);
  Open(ids::kSetBaud, [&](dialogs::CConfigDlg& dlg) {
    CUartDlg& uart = Uart(dlg);
    EXPECT_EQ(uart.FollowDelayMs(), 1000);
    uart.SetFollowDelayMs(kFarAway);
    Select(dlg, kBaud, 2);  // 4800
    DuringTheWait([&] {
      EXPECT_TRUE(uart.IsWaiting());
      EXPECT_EQ(uart.TimerPeriod(CUartDlg::kFollowTimer), kFarAway);
      // The sentence is out and the positions are stored; the port waits.
      EXPECT_EQ(rx.Receive(23), Wire(Framed("$PVLRX100,0,4800,0")));
      EXPECT_EQ(main.uartSettings.baudIndex, 2);
      EXPECT_EQ(main.serial.GetBaudRate(), 9600);
      EXPECT_EQ(main.baudRate, 9600);
      uart.OnTimer(CUartDlg::kFollowTimer);
    });
    Click(dlg, kSend);
    EXPECT_FALSE(uart.IsWaiting());
    EXPECT_FALSE(uart.IsTimerRunning(CUartDlg::kFollowTimer));
    EXPECT_TRUE(dlg.isVisible());
  });
  EXPECT_EQ(main.serial.GetBaudRate(), 4800);
  EXPECT_EQ(main.baudRate, 4800);
  EXPECT_EQ(Label(), rx.Device() + " 4800bps");

  // The next opening starts from the positions sent.
  Open(ids::kSetBaud, [&](dialogs::CConfigDlg& dlg) { EXPECT_EQ(dlg.ItemText(kBaud), "4800"); });
}

TEST_F(UartDialog, SendDuringTheWaitNestsAndThePortFollowsTheRateSentLast) {
  Open(ids::kSetBaud, [&](dialogs::CConfigDlg& dlg) {
    CUartDlg& uart = Uart(dlg);
    uart.SetFollowDelayMs(kFarAway);
    DuringTheWait([&] {
      EXPECT_EQ(rx.Receive(23), Wire("$PVLRX100,0,9600,0*52"));
      Select(dlg, kBaud, 4);  // 19200
      DuringTheWait([&] {
        EXPECT_EQ(uart.TimerPeriod(CUartDlg::kFollowTimer), kFarAway);
        EXPECT_EQ(rx.Receive(24), Wire(Framed("$PVLRX100,0,19200,0")));
        uart.OnTimer(CUartDlg::kFollowTimer);  // one tick ends both waits
      });
      Click(dlg, kSend);
      // The inner wait has set the port; the outer one has not ended yet.
      EXPECT_TRUE(uart.IsWaiting());
      EXPECT_EQ(main.serial.GetBaudRate(), 19200);
      // Chosen but never sent: the receiver still runs at 19200, so the
      // port must not follow this.
      Select(dlg, kBaud, 5);
      main.serial.Configure(1200, 8, 0, 0);  // shows whether the outer wait sets the port again
    });
    Click(dlg, kSend);
    EXPECT_FALSE(uart.IsWaiting());
  });
  EXPECT_EQ(main.serial.GetBaudRate(), 19200);
  EXPECT_EQ(main.baudRate, 19200);
  EXPECT_EQ(main.uartSettings.baudIndex, 4);  // stored by the last Send
  EXPECT_EQ(SentSoFar(), "");
}

TEST_F(UartDialog, CloseDuringTheWaitEndsTheDialogOnlyAfterThePortFollowed) {
  bool visibleAfterClose = false;
  Open(ids::kSetBaud, [&](dialogs::CConfigDlg& dlg) {
    CUartDlg& uart = Uart(dlg);
    uart.SetFollowDelayMs(kFarAway);
    Select(dlg, kBaud, 0);  // 1200
    DuringTheWait([&] {
      Click(dlg, tmpl::kIdCancel);
      visibleAfterClose = dlg.isVisible();
      EXPECT_EQ(main.baudRate, 9600);
      uart.OnTimer(CUartDlg::kFollowTimer);
    });
    Click(dlg, kSend);
    EXPECT_FALSE(dlg.isVisible());
  });
  EXPECT_TRUE(visibleAfterClose);
  EXPECT_EQ(main.serial.GetBaudRate(), 1200);
  EXPECT_EQ(Label(), rx.Device() + " 1200bps");
}

TEST_F(UartDialog, WithTheRealTimerTheWaitEndsByItself) {
  Open(ids::kSetBaud, [&](dialogs::CConfigDlg& dlg) {
    Uart(dlg).SetFollowDelayMs(1);
    Select(dlg, kBaud, 1);
    Click(dlg, kSend);
  });
  EXPECT_EQ(main.serial.GetBaudRate(), 2400);
}

}  // namespace
}  // namespace dlgtest
