// The main window's side of interpretation and the time-to-first-fix count.

#include "app/main_dlg.h"
#include "app/timer_texts.h"
#include "nmea/interpreter.h"
#include "resources/main_ids.h"

namespace app {

void CMainDlg::InterpretSentence(std::string sentence) {
  const nmea::Interpretation result = nmea::Interpret(sentence, receiver);
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

void CMainDlg::OnTimer(int id) {
  if (id == TimerTtff) TtffCountStep();
}

}  // namespace app
