// Renders the main window into a PNG file:
//   gpsdesk-screenshot [output.png [recording.nmea [--all]]]   (default docs/main-window.png)
//   gpsdesk-screenshot output.png --live COM1 SECONDS
// Without a recording the window is shown as it looks after start-up; with
// one, every sentence of the recording goes through the interpreter first,
// as a replay would hand them over, so the views show a live sky. --all
// turns the "All constellations" mode on first. With --live the window opens
// the port as "OPEN" would and runs for SECONDS before the picture is taken.
// The user's remembered settings play no part: the mode is off unless --all
// says otherwise.
// Runs without a display unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/constellation_mode.h"
#include "app/main_dlg.h"
#include "app/settings_store.h"
#include "platform/dialog_look.h"

namespace {

// Feeds each line of `path` from its last "$" on, without CR and LF.
bool FeedRecording(app::CMainDlg& window, const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    const std::size_t dollar = line.rfind('$');
    if (dollar != std::string::npos) window.InterpretSentence(line.substr(dollar));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform::InitDialogLook();
  app::CMemorySettingsStore settings;
  app::CSettingsStoreOverride useSettings(settings);

  const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/main-window.png");
  app::CMainDlg window;
  window.show();
  if (argc > 3 && std::string(argv[3]) == "--all") window.Constellations().SetOn(true);
  QApplication::processEvents();
  if (argc > 4 && std::string(argv[2]) == "--live") {
    window.portName = argv[3];
    window.OnOpenClose();
    if (window.activeSource != app::SourceSerial) {
      std::fprintf(stderr, "cannot open %s\n", argv[3]);
      return 1;
    }
    QTimer::singleShot(std::max(0, std::atoi(argv[4])) * 1000, &application, &QCoreApplication::quit);
    QApplication::exec();
  } else if (argc > 2 && !FeedRecording(window, argv[2])) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  QApplication::processEvents();
  if (!window.grab().save(output, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
    return 1;
  }
  return 0;
}
