#pragma once
// The main window and controller of the tool: it owns the receiver state, the
// sources, the files, the views' areas and font, the timers and the settings
// every configuration dialog remembers. Built from template 102; its
// controls are addressed by the ids in resources/main_ids.h.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPoint>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "app/line_assembler.h"
#include "app/receive_guard.h"
#include "app/replay_reader.h"
#include "app/source_identity.h"
#include "dialogs/settings.h"
#include "nmea/receiver_state.h"
#include "platform/dialog.h"
#include "resources/dialog_template.h"
#include "serial/serial_wnd_adapter.h"

namespace platform {
class CSystemMenu;
}

namespace app {

class CPortDoctor;
class CPortFollower;
class CConstellationMode;

enum SourceKind { SourceNone = 0, SourceSerial = 1, SourceFile = 2 };

// Window timers of the main window.
enum TimerId : int { TimerConsoleFlush = 1, TimerTtff = 2, TimerStopwatch = 3, TimerReplay = 4 };

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;  // closed while empty

class CMainDlg : public platform::CDialog {
  Q_OBJECT

 public:
  static constexpr int kReplaySpeeds = 10;
  static constexpr int kDefaultReplaySpeed = 6;  // "X10"

  explicit CMainDlg(QWidget* parent = nullptr);
  ~CMainDlg() override;

  // Command 16 (and 17 to 31) shows the About box; the rest is handled as
  // any window handles it.
  void OnSysCommand(unsigned command) override;
  void OnTimer(int id) override;

  void UpdateSourceDisplay();
  void UpdateCommandButtons();

  // Shows what one received sentence ("$" up to the CR) changes.
  void InterpretSentence(std::string sentence);
  // Starts a new time-to-first-fix count from 0.
  void RestartTtff();

  void DrawSignalChart();
  void DrawSkyPlot();

  // The "All constellations" mode and what it keeps.
  CConstellationMode& Constellations() { return *constellations_; }
  const CConstellationMode& Constellations() const { return *constellations_; }

  // Source control.
  void OnOpenClose();
  void OnComSetup();
  void OnNmeaFile();
  void OnReplaySpeed();

  // Receive pipeline and timers. OnSerialNotify handles the port's
  // notification: events in the low 16 bits of `first` (0: flush the console
  // line), line errors in the high 16 bits.
  long OnSerialNotify(std::uintptr_t first, std::intptr_t second);
  // Writes `text` and CR LF to the port; results are not looked at.
  void SendSentence(std::string_view text);
  void ReplayTick();
  void ToggleStopwatch();

  // Console and log file: the only writers of the two.
  void AppendConsole(std::string_view text);
  void AppendLog(std::string_view text);
  void OnStartStopLog();

  // One-click receiver commands.
  void OnFactoryReset();
  void OnHotStart();
  void OnWarmStart();
  void OnColdStart();
  void OnVersionQuery();
  void OnSettingsQuery();
  void OnEnterIsp();
  void OnExitIsp();

  int firstPaint = 1;
  QColor backgroundColour;
  tmpl::PixelRect skyArea{};  // client coordinates
  tmpl::PixelRect chartArea{};
  SourceKind activeSource = SourceNone;
  SourceKind selectedSource = SourceSerial;
  int ttffRunning = 0;
  File replayFile;
  std::string replayFileName;
  std::array<int, 8> selected{0, 2, 3, 4};  // GGA, GSA, GSV, RMC
  int selectedCount = 4;
  std::array<int, kReplaySpeeds> replayIntervals{1000, 500, 333, 250, 200, 125, 100, 50, 25, 16};
  int replayInterval = 100;
  int replayRestart = 0;
  // The channel slots, the satellite table, the satellites in view and the
  // last position.
  nmea::ReceiverState receiver;
  File logFile;
  int logging = 0;
  std::string logPath;  // named in the message when a write to the log fails
  std::uint32_t ttffSeconds = 0;
  std::uint32_t stopwatchSeconds = 0;
  int stopwatchRunning = 0;
  double skyRadius = 0.0;
  QPoint skyCentre;
  std::array<int, 7> rates{1, 1, 1, 1, 1, 1, 1};  // GGA, GLL, GSA, GSV, RMC, VTG, ZDA
  dialogs::UartSettings uartSettings;
  dialogs::EcefInitSettings ecefSettings;
  int lastDatumRow = dialogs::kDefaultDatumRow;
  dialogs::NavSettings navSettings;
  dialogs::FixSettings fixSettings;
  dialogs::LowPowerSettings lowPowerSettings;
  dialogs::LatLonInitSettings latLonSettings;
  dialogs::MsgModeSettings msgModeSettings;
  dialogs::ResetSettings resetSettings;
  serial::CSerialWndAdapter serial;
  std::string portName = "COM1";
  int baudRate = 9600;
  int sourceOpen = 0;
  QFont skyFont;
  int skyTextHeight = 0;
  int markerRadius = 0;
  int maxSnr = 20;
  QIcon appIcon;

 protected:
  bool OnInitDialog() override;
  bool event(QEvent* e) override;
  // Redraws both views from the receiver state.
  void paintEvent(QPaintEvent* event) override;

 private:
  void TtffCountStep();
  void WireControls();
  // A source was opened; another one than last time starts the receiver's
  // displays afresh.
  void NoteOpenedSource();
  void ResetReceiverDisplays();
  void OpenSerialSource();
  void CloseSerialSource();
  // Opens `portName` and shows it open; the status of a failed open.
  serial::Status StartSerialPort();
  void ReportFailedOpen(serial::Status status);
  // The port's device has gone: the port closes as CLOSE closes it and the
  // status line says so.
  void LoseSerialSource();
  // The lost device is back as `name`: opens it unless the window is busy.
  serial::Status ReconnectSerialSource(const std::string& name, std::int64_t gapSeconds);
  // A line about the source for the console and the log, while logging.
  void NoteInLog(const std::string& note);
  void SendCommand(const char* status, std::string command);
  // The end of a port notification, flush or replay tick: drains the port
  // when a notification came meanwhile, and has kept messages shown after.
  void LeaveReceivePath();
  void ShowKeptMessages();

  LineAssembler assembler_;
  ReceiveGuard receiveGuard_;
  ReplayReader replayReader_;
  platform::CSystemMenu* systemMenu_ = nullptr;  // owned by the window
  CPortDoctor* portDoctor_ = nullptr;            // owned by the window
  CPortFollower* portFollower_ = nullptr;        // owned by the window
  std::unique_ptr<CConstellationMode> constellations_;
  LastSource lastSource_;
};

}  // namespace app
