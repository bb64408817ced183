#include "dialogs/uart_dlg.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/uart_ids.h"

namespace dialogs {

using namespace ids::uart;

CUartDlg::CUartDlg(QWidget* parent) : CConfigDlg(tmpl::UartTemplate(), kSend, kPreview, parent) {}

void CUartDlg::LoadRecord(const app::CMainDlg& main) { values_ = main.uartSettings; }

void CUartDlg::ShowValues() {
  SelectPosition(kProtocol, values_.protocolIndex);
  SelectPosition(kBaud, values_.baudIndex);
  SelectPosition(kParity, values_.parityIndex);
}

std::vector<std::string> CUartDlg::BuildSentences() {
  values_.protocolIndex = ListPosition(kProtocol);
  values_.baudIndex = ListPosition(kBaud);
  values_.parityIndex = ListPosition(kParity);
  return {BuildUartSentence(values_)};
}

void CUartDlg::StoreRecord(app::CMainDlg& main) { main.uartSettings = values_; }

void CUartDlg::OnSend() {
  app::CMainDlg* main = MainWindow();
  if (main == nullptr) return;
  CConfigDlg::OnSend();
  sentBaud_ = UartBaudRate(values_.baudIndex);

  WaitForReceiver();

  // The port follows the rate the receiver was last told, not what the list
  // shows now: a choice made during the wait was never sent, and following it
  // would leave the two ends at different speeds.
  main->baudRate = sentBaud_;
  main->serial.Configure(sentBaud_, 8, 0, 0);  // fails quietly while no port is open
  main->UpdateSourceDisplay();

  if (--waits_ == 0 && pendingEnd_ != 0) EndDialog(pendingEnd_);
}

void CUartDlg::WaitForReceiver() {
  ++waits_;
  timerElapsed_ = false;
  SetTimer(kFollowTimer, followDelayMs_);
  while (!timerElapsed_)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void CUartDlg::OnTimer(int id) {
  if (id != kFollowTimer) return;
  timerElapsed_ = true;
  KillTimer(kFollowTimer);
}

void CUartDlg::OnOK() { EndWhenIdle(tmpl::kIdOk); }

void CUartDlg::OnCancel() { EndWhenIdle(tmpl::kIdCancel); }

void CUartDlg::EndWhenIdle(int result) {
  if (waits_ > 0) {
    pendingEnd_ = result;
  } else {
    EndDialog(result);
  }
}

}  // namespace dialogs
