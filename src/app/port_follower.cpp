#include "app/port_follower.h"
#include "app/settings_store.h"

#include <QAction>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <chrono>

#include "app/port_survey.h"
#include "app/udev_monitor.h"
#include "platform/system_menu.h"
#include "serial/port_names.h"

namespace app {
namespace {

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}


}  // namespace

CPortFollower::CPortFollower(QWidget* window, Hooks hooks)
    : QObject(window), hooks_(std::move(hooks)), retry_(new QTimer(this)) {
  enabled_ = SettingsStore().ReadBool(kReconnectSetting, false);
  retry_->setInterval(static_cast<int>(ports::Reconnector::kRetryMs));
  connect(retry_, &QTimer::timeout, this, [this] { Look(std::nullopt); });
}

CPortFollower::~CPortFollower() = default;

void CPortFollower::AddTo(platform::CSystemMenu& menu) {
  if (entry_ != nullptr) return;
  menu.AppendCommand(kReconnectCommand, QStringLiteral("Reconnect automatically"));
  entry_ = menu.Entry(kReconnectCommand);
  if (entry_ == nullptr) return;
  entry_->setCheckable(true);
  entry_->setChecked(enabled_);
  connect(entry_, &QAction::triggered, this, [this](bool checked) { SetEnabled(checked); });
}

void CPortFollower::SetEnabled(bool on) {
  enabled_ = on;
  SettingsStore().WriteBool(kReconnectSetting, on);
  if (entry_ != nullptr) entry_->setChecked(on);
  if (!on) {
    reconnector_.Stop();
    StopWatching();
  } else {
    Follow();  // also for a device that went before the entry was ticked
  }
}

void CPortFollower::Opened(const std::string& portName) {
  ports::SysReturnFacts facts(serial::DefaultPortLocations(), PortFacts());
  opened_ = ports::DescribeOpenedPort(portName, facts);
  lostAtMs_.reset();
}

void CPortFollower::Lost() {
  lostAtMs_ = NowMs();
  Follow();
}

void CPortFollower::Follow() {
  if (!enabled_ || !opened_ || !lostAtMs_ || reconnector_.Waiting()) return;
  reconnector_.Follow(*opened_, *lostAtMs_);
  StartWatching();
}

void CPortFollower::Cancel() {
  lostAtMs_.reset();
  reconnector_.Stop();
  StopWatching();
}

// The monitor listens before the first look, so that a device that comes
// back in between is not missed.
void CPortFollower::StartWatching() {
  if (!monitor_) monitor_ = UdevMonitor::Open();
  if (monitor_ && notifier_ == nullptr) {
    notifier_ = new QSocketNotifier(monitor_->Descriptor(), QSocketNotifier::Read, this);
    // One event per activation; the notifier fires again while more wait.
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
      if (!monitor_) return;
      if (const std::optional<ports::UdevEvent> event = monitor_->Receive()) Look(event);
    });
  }
  retry_->start();
}

void CPortFollower::StopWatching() {
  retry_->stop();
  if (notifier_ != nullptr) {
    // This may run inside the notifier's own signal.
    notifier_->setEnabled(false);
    notifier_->deleteLater();
    notifier_ = nullptr;
  }
  monitor_.reset();
}

void CPortFollower::Look(const std::optional<ports::UdevEvent>& event) {
  if (!reconnector_.Waiting()) return;
  ports::SysReturnFacts facts(serial::DefaultPortLocations(), PortFacts());
  const std::optional<std::string> name =
      event ? reconnector_.Check(facts, *event) : reconnector_.Check(facts);
  if (name) Try(*name);
}

void CPortFollower::Try(const std::string& portName) {
  const std::int64_t now = NowMs();
  const serial::Status status = hooks_.reopen(portName, (now - reconnector_.LostAtMs()) / 1000);
  switch (reconnector_.Tried(status, now)) {
    case ports::Reconnector::Next::Reconnected:
      StopWatching();
      break;
    case ports::Reconnector::Next::GiveUp:
      StopWatching();
      if (hooks_.gaveUp) hooks_.gaveUp(portName, status);
      break;
    case ports::Reconnector::Next::KeepWaiting:
      break;
  }
}

}  // namespace app
