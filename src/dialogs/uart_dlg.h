#pragma once
// The UART settings dialog ("Set Baud"): tells the receiver to switch its
// protocol and baud rate ("$PVLRX100"), waits a second with the window still
// running (serial input, painting and clicks go on), then sets the tool's own
// port to the baud rate sent. A Send during the wait restarts the second and
// waits inside the first wait; when it ends, both waits end, and each sets the
// port to the rate sent last.

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CUartDlg : public CConfigDlg {
  Q_OBJECT

 public:
  // The dialog's window timer that ends the wait.
  static constexpr int kFollowTimer = 1;
  // How long the receiver is given to switch before the port follows.
  static constexpr int kDefaultFollowDelayMs = 1000;

  explicit CUartDlg(QWidget* parent = nullptr);

  int FollowDelayMs() const { return followDelayMs_; }
  void SetFollowDelayMs(int ms) { followDelayMs_ = ms; }
  // True while a Send waits for the receiver.
  bool IsWaiting() const { return waits_ > 0; }

  // Timer kFollowTimer ends every wait in progress.
  void OnTimer(int id) override;

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;
  void OnSend() override;
  // Ending the dialog during a wait takes effect once the port has followed.
  void OnOK() override;
  void OnCancel() override;

 private:
  void WaitForReceiver();
  void EndWhenIdle(int result);

  UartSettings values_;
  int sentBaud_ = 0;  // the rate of the sentence sent last
  int followDelayMs_ = kDefaultFollowDelayMs;
  bool timerElapsed_ = false;
  int waits_ = 0;
  int pendingEnd_ = 0;  // the id to end with after the wait, 0 for none
};

}  // namespace dialogs
