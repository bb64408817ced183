#pragma once
// "Reconnect automatically" in the main window's right-click menu: after
// "COMn device removed" the window waits for the same device to come back
// and opens it again with the same rate. Off unless the user turns it on;
// the choice is remembered across runs. How the device is recognised is
// decided in ports/reconnect.h; this side owns the menu entry, the retry
// timer and the udev monitor, listened to only while waiting.

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ports/reconnect.h"
#include "serial/serial_status.h"

class QAction;
class QSocketNotifier;
class QTimer;
class QWidget;

namespace platform {
class CSystemMenu;
}

namespace app {

class UdevMonitor;

// The system-menu command of "Reconnect automatically".
inline constexpr unsigned kReconnectCommand = 0x0110;
// Where the choice is remembered.
inline constexpr char kReconnectSetting[] = "ports/reconnect";

class CPortFollower : public QObject {
  Q_OBJECT

 public:
  struct Hooks {
    // Opens `portName` again; on success the port is open and shown.
    // `gapSeconds`: how long the device was gone.
    std::function<serial::Status(const std::string& portName, std::int64_t gapSeconds)> reopen;
    // The device came back but would not open; `status` of the last try.
    std::function<void(const std::string& portName, serial::Status status)> gaveUp;
  };

  // Owned by `window`.
  CPortFollower(QWidget* window, Hooks hooks);
  ~CPortFollower() override;

  // Appends "Reconnect automatically", checked as remembered.
  void AddTo(platform::CSystemMenu& menu);
  bool Enabled() const { return enabled_; }
  // Turns following on or off, and remembers it; off ends a wait.
  void SetEnabled(bool on);

  // `portName` has opened: what it is, for recognising it later.
  void Opened(const std::string& portName);
  // The port that opened last has gone: waits for it while following is on,
  // also when it is turned on later.
  void Lost();
  // The user chose otherwise (opened, closed, picked another port or file):
  // what was lost is no longer waited for.
  void Cancel();
  bool Waiting() const { return reconnector_.Waiting(); }

 private:
  void Follow();
  void StartWatching();
  void StopWatching();
  void Look(const std::optional<ports::UdevEvent>& event);
  void Try(const std::string& portName);

  Hooks hooks_;
  bool enabled_ = false;
  QAction* entry_ = nullptr;
  ports::Reconnector reconnector_;
  std::optional<ports::FollowedPort> opened_;
  std::optional<std::int64_t> lostAtMs_;  // when what opened last went; nothing while it is open
  QTimer* retry_;
  std::unique_ptr<UdevMonitor> monitor_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace app
