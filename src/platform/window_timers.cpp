#include "platform/window_timers.h"

#include <QTimerEvent>
#include <algorithm>
#include <utility>

namespace platform {

CWindowTimers::CWindowTimers(TickHandler onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {}

CWindowTimers::~CWindowTimers() { KillAll(); }

bool CWindowTimers::SetTimer(int id, int ms) {
  KillTimer(id);
  ms = std::max(ms, 1);
  const int qtId = startTimer(ms);
  if (qtId == 0) return false;
  running_[id] = {qtId, ms};
  return true;
}

bool CWindowTimers::KillTimer(int id) {
  auto it = running_.find(id);
  if (it == running_.end()) return false;
  killTimer(it->second.qtId);
  running_.erase(it);
  return true;
}

void CWindowTimers::KillAll() {
  for (const auto& [id, timer] : running_) killTimer(timer.qtId);
  running_.clear();
}

bool CWindowTimers::IsRunning(int id) const { return running_.contains(id); }

int CWindowTimers::Period(int id) const {
  auto it = running_.find(id);
  return it == running_.end() ? 0 : it->second.ms;
}

void CWindowTimers::timerEvent(QTimerEvent* event) {
  for (const auto& [id, timer] : running_) {
    if (timer.qtId == event->timerId()) {
      // The handler may set or kill timers; `id` is a copy taken before.
      const int windowId = id;
      if (onTick_) onTick_(windowId);
      return;
    }
  }
  QObject::timerEvent(event);
}

}  // namespace platform
