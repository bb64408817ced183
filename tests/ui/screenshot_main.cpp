// Renders the main window as it looks after start-up into a PNG file:
//   gpsdesk-screenshot [output.png]   (default docs/main-window.png)
// Runs without a display unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <cstdio>

#include "app/main_dlg.h"
#include "platform/dialog_look.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform::InitDialogLook();

  const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/main-window.png");
  app::CMainDlg window;
  window.show();
  QApplication::processEvents();
  if (!window.grab().save(output, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
    return 1;
  }
  return 0;
}
