// Choosing, opening and closing the data source: the serial port or a
// recorded NMEA file replayed at a chosen pace.

#include <QComboBox>

#include "app/constellation_mode.h"
#include "app/main_dlg.h"
#include "app/port_follower.h"
#include "platform/prompts.h"
#include "resources/main_ids.h"
#include "serial/port_names.h"

namespace app {
namespace {

const platform::FileDialogOptions kReplayDialog{"*.txt", "Txt files(*.txt)|*.txt|All Files(*.*)|*.*||", ""};

}  // namespace

void CMainDlg::OnOpenClose() {
  portFollower_->Cancel();  // whatever was open or lost, the user decides now
  const int wasOpen = sourceOpen;
  if (sourceOpen == 0 && selectedSource == SourceSerial) {
    OpenSerialSource();
  } else if (sourceOpen == 0 && selectedSource == SourceFile) {
    SetItemText(ids::kStatus, "Replay NMEA File");
    // The full path, so the file is found whatever the working directory.
    File file(std::fopen(replayFileName.c_str(), "rb"));
    if (!file) {
      SetItemText(ids::kStatus, "Replay NMEA File ERR!");
    } else {
      replayFile = std::move(file);
      activeSource = SourceFile;
      sourceOpen = 1;
      SetItemText(ids::kStatus, "Replay NMEA File");
      SetTimer(TimerReplay, replayInterval);
      replayRestart = 1;
    }
  } else if (sourceOpen == 1 && activeSource == SourceSerial) {
    CloseSerialSource();
  } else if (sourceOpen == 1 && activeSource == SourceFile) {
    KillTimer(TimerReplay);
    replayFile.reset();
    sourceOpen = 0;
    activeSource = SourceNone;
    SetItemText(ids::kStatus, "NMEA File Closed");
    replayRestart = 0;
  }
  if (wasOpen == 0 && sourceOpen == 1) NoteOpenedSource();
  UpdateSourceDisplay();
  UpdateCommandButtons();
}

void CMainDlg::NoteOpenedSource() {
  std::string identity;
  if (activeSource == SourceFile) {
    identity = FileSourceIdentity(replayFileName);
  } else {
    std::string device;
    if (serial::ResolvePortName(portName, device) != 0) device.clear();
    identity = PortSourceIdentity(portName, device);
  }
  if (lastSource_.Opened(std::move(identity))) ResetReceiverDisplays();
}

void CMainDlg::ResetReceiverDisplays() {
  // The time-to-first-fix count and the stopwatch measure the user's time,
  // not the source's, and go on.
  receiver = nmea::ReceiverState{};
  constellations_->ResetForNewSource();
}

void CMainDlg::OnNmeaFile() {
  const std::optional<std::string> path = platform::ChooseFileToOpen(this, kReplayDialog);
  if (path) {
    portFollower_->Cancel();
    if (activeSource != SourceNone) {
      OnOpenClose();
      selectedSource = SourceFile;
      replayFileName = *path;
      OnOpenClose();
    } else {
      replayFileName = *path;
      selectedSource = SourceFile;
    }
    UpdateSourceDisplay();
  }
  if (logging == 1) OnStartStopLog();
}

void CMainDlg::OnReplaySpeed() {
  auto* speeds = ControlAs<QComboBox>(ids::kReplaySpeed);
  const int position = speeds ? speeds->currentIndex() : -1;
  if (position >= 0 && position < kReplaySpeeds)
    replayInterval = replayIntervals[static_cast<std::size_t>(position)];
}

}  // namespace app
