// The main window's two satellite views.

#include "app/main_dlg.h"

namespace app {

void CMainDlg::DrawSignalChart() {}

void CMainDlg::DrawSkyPlot() {}

void CMainDlg::paintEvent(QPaintEvent* event) { platform::CDialog::paintEvent(event); }

}  // namespace app
