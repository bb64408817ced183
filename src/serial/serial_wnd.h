#pragma once
// CSerialWnd: the serial port plus one watcher thread that waits for port
// events and posts each batch to a window. The user-interface thread keeps
// doing all reading and writing; the watcher only waits, collects the events
// and the line errors, and posts. It arms each event wait with its own record
// on watchEvent, which the port's completion engine signals; one notification
// per completed wait.
//
// The notification: message `notifyMessage` (the registered
// "CSerialWnd_DefaultComMsg" id unless OpenAndWatch was given another),
// first parameter = line errors << 16 | events (low 16 bits each), second
// parameter = the user value given to OpenAndWatch.
//
// A class derived from CSerialWnd must stop the watcher in its own destructor
// (call Close when IsWatching()), as CSerialWndAdapter does: the watcher calls
// virtual operations until it has ended.

#include <pthread.h>

#include <cstdint>
#include <semaphore>

#include "platform/window_messages.h"
#include "serial/serial_link.h"

namespace serial {

inline constexpr char kDefaultComMsgName[] = "CSerialWnd_DefaultComMsg";
inline constexpr char kWatcherThreadName[] = "serial-watcher";  // as ps and debuggers show it

class CSerialWnd : public CSerialLink {
 public:
  CSerialWnd();
  explicit CSerialWnd(SerialSystem& system);
  ~CSerialWnd() override;

  // Stops the watcher if one runs, then closes the port.
  Status Close() override;

  // Opens the port and starts the watcher. Returns 0, or the status of the
  // step that failed; the object is then closed and no watcher runs.
  virtual Status OpenAndWatch(const char* device, platform::WindowHandle window, platform::MessageId message,
                              std::int32_t userValue, std::uint32_t inQueue, std::uint32_t outQueue);
  // The watcher thread's body; not for users.
  virtual Status WatchLoop();

  // The id of "CSerialWnd_DefaultComMsg", registered on the first call, which
  // the program makes at start-up before any window exists.
  static platform::MessageId DefaultComMsg();

  bool IsWatching() const { return watcherStarted; }

 private:
  static void* WatcherEntry(void* self);

  pthread_t watcherThread{};
  bool watcherStarted = false;  // watcherThread holds a thread not yet joined
  SerialEvent stopEvent;
  SerialEvent watchEvent;
  platform::WindowHandle notifyWindow = platform::WindowHandle::None;
  platform::MessageId notifyMessage = 0;
  std::int32_t notifyValue = 0;
  // The watcher waits here until the notify fields are in place.
  std::binary_semaphore resumeWatcher{0};
};

}  // namespace serial
