#pragma once
// Window timers addressed by the window's own numeric ids, as the receive
// path and the stopwatch use them: setting an id that runs restarts it with
// the new period; every tick is delivered to one callback with the id.

#include <QObject>
#include <functional>
#include <map>

namespace platform {

class CWindowTimers : public QObject {
 public:
  using TickHandler = std::function<void(int id)>;

  explicit CWindowTimers(TickHandler onTick, QObject* parent = nullptr);
  ~CWindowTimers() override;

  // Starts timer `id` with a period of `ms` milliseconds (at least 1),
  // replacing a running timer of the same id. False when the system refused.
  bool SetTimer(int id, int ms);
  // Stops timer `id`; false when it was not running.
  bool KillTimer(int id);
  void KillAll();

  bool IsRunning(int id) const;
  // The period timer `id` runs with, or 0 when it does not run.
  int Period(int id) const;

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  struct Running {
    int qtId;
    int ms;
  };
  TickHandler onTick_;
  std::map<int, Running> running_;  // by window timer id
};

}  // namespace platform
