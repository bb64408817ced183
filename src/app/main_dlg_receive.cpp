// The main window's side of interpretation, the time-to-first-fix count, the
// stopwatch and the replay tick; the way into and out of the receive path.

#include <QTimer>

#include "app/constellation_mode.h"
#include "app/main_dlg.h"
#include "app/timer_texts.h"
#include "nmea/interpreter.h"
#include "platform/prompts.h"
#include "resources/main_ids.h"

namespace app {

void CMainDlg::InterpretSentence(std::string sentence) {
  const nmea::Interpretation gp = nmea::Interpret(sentence, receiver);
  const nmea::Interpretation& result = constellations_->Interpret(sentence, gp);
  // A fix ends the count before the fix text shows; the views are drawn
  // before the satellites-in-view text.
  if (result.stopTtff) {
    KillTimer(TimerTtff);
    ttffRunning = 0;
  }
  if (result.redrawViews) {
    DrawSignalChart();
    DrawSkyPlot();
  }
  for (const auto& [id, text] : result.texts) SetItemText(id, text);
  if (result.restartTtff) RestartTtff();
}

void CMainDlg::RestartTtff() {
  SetItemText(ids::kTtff, "TTFF  0 seconds");
  if (selectedSource == SourceSerial) {
    SetTimer(TimerTtff, 1000);
  } else {
    KillTimer(TimerTtff);
  }
  ttffSeconds = 0;
  ttffRunning = 1;
}

void CMainDlg::TtffCountStep() { SetItemText(ids::kTtff, TtffText(++ttffSeconds)); }

void CMainDlg::ToggleStopwatch() {
  if (stopwatchRunning == 1) {
    KillTimer(TimerStopwatch);
    SetItemText(ids::kStopwatchStart, "Start");
    stopwatchRunning = 0;
  } else {
    SetItemText(ids::kStopwatch, "Timer  00:00:00");
    stopwatchSeconds = 0;
    SetTimer(TimerStopwatch, 1000);
    SetItemText(ids::kStopwatchStart, "Stop");
    stopwatchRunning = 1;
  }
}

namespace {

// What one replay tick hands back to the window, in the order it happens.
class ReplayToWindow : public ReplaySink {
 public:
  explicit ReplayToWindow(CMainDlg& dlg, void (CMainDlg::*countStep)()) : dlg_(dlg), countStep_(countStep) {}
  void GgaReleased() override {
    if (dlg_.ttffRunning == 1) (dlg_.*countStep_)();
  }
  void Sentence(std::string_view sentence) override { dlg_.InterpretSentence(std::string(sentence)); }
  void Echo(std::string_view block) override {
    dlg_.AppendConsole(block);
    if (dlg_.logging == 1) dlg_.AppendLog(block);
  }

 private:
  CMainDlg& dlg_;
  void (CMainDlg::*countStep_)();
};

}  // namespace

void CMainDlg::ReplayTick() {
  // A tick that comes while the receive path is busy is dropped; the timer
  // brings the next one.
  if (!receiveGuard_.Enter(ReceiveEntry::ReplayTick)) return;
  if (replayRestart == 1) {
    replayRestart = 0;
    replayReader_.Restart();
  }
  SetTimer(TimerReplay, replayInterval);
  replayReader_.SetGroupStart(constellations_->On() ? GroupStart::AnyGga : GroupStart::GpGga);
  if (replayFile) {
    FileByteSource source(replayFile.get());
    ReplayToWindow sink(*this, &CMainDlg::TtffCountStep);
    // At the end of the file the replay closes, unless it is closed already.
    if (replayReader_.Tick(source, sink) == ReplayReader::TickResult::EndOfFile && activeSource == SourceFile)
      OnOpenClose();
  }
  LeaveReceivePath();
}

void CMainDlg::LeaveReceivePath() {
  receiveGuard_.Leave();
  if (receiveGuard_.TakeMissedNotification()) OnSerialNotify(serial::EV_RXCHAR, 0);
  // Shown from the event loop, once this call has returned.
  if (receiveGuard_.HasMessages()) QTimer::singleShot(0, this, [this] { ShowKeptMessages(); });
}

void CMainDlg::ShowKeptMessages() {
  for (const std::string& message : receiveGuard_.TakeMessages())
    platform::Prompts().ShowMessage(this, message);
}

void CMainDlg::OnTimer(int id) {
  switch (id) {
    case TimerConsoleFlush:
      OnSerialNotify(0, 0);
      break;
    case TimerTtff:
      TtffCountStep();
      break;
    case TimerStopwatch:
      SetItemText(ids::kStopwatch, StopwatchText(++stopwatchSeconds));
      break;
    case TimerReplay:
      ReplayTick();
      break;
    default:
      break;
  }
}

}  // namespace app
