#include "app/control_app.h"

#include "app/main_dlg.h"
#include "gpsdesk_version.h"
#include "platform/dialog_look.h"
#include "serial/serial_wnd.h"

namespace app {

CControlApp::CControlApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The port's notification message is registered before any window exists.
  serial::CSerialWnd::DefaultComMsg();
  setApplicationName(QStringLiteral("gpsdesk"));
  setApplicationVersion(QStringLiteral(GPSDESK_VERSION));
}

CControlApp::~CControlApp() = default;

bool CControlApp::InitInstance() {
  platform::InitDialogLook();
  CMainDlg mainDlg;
  mainDlg.DoModal();
  return false;
}

}  // namespace app
