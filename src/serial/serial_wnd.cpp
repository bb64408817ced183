#include "serial/serial_wnd.h"

namespace serial {

CSerialWnd::CSerialWnd() = default;

CSerialWnd::CSerialWnd(SerialSystem& system) : CSerialLink(system) {}

CSerialWnd::~CSerialWnd() {
  if (watcherStarted) CSerialWnd::Close();
}

platform::MessageId CSerialWnd::DefaultComMsg() {
  static const platform::MessageId id = platform::RegisterWindowMessage(kDefaultComMsgName);
  return id;
}

// Start-up order: port, events, thread (held at its start), notify fields,
// release. Any failure leaves the object closed with nothing created.
Status CSerialWnd::OpenAndWatch(const char* device, platform::WindowHandle window,
                                platform::MessageId message, std::int32_t userValue, std::uint32_t inQueue,
                                std::uint32_t outQueue) {
  if (const Status s = CSerialLink::Open(device, inQueue, outQueue)) return s;

  Status s = CreateSerialEvent(stopEvent);
  if (s == ERROR_SUCCESS) s = CreateSerialEvent(watchEvent);
  if (s == ERROR_SUCCESS) {
    const int err = pthread_create(&watcherThread, nullptr, &CSerialWnd::WatcherEntry, this);
    if (err != 0) s = StatusFromErrno(err);
  }
  if (s != ERROR_SUCCESS) {
    CloseSerialEvent(stopEvent);
    CloseSerialEvent(watchEvent);
    CSerialLink::Close();
    return StoreError(s);
  }
  watcherStarted = true;
  pthread_setname_np(watcherThread, kWatcherThreadName);

  notifyWindow = window;
  notifyMessage = message != 0 ? message : DefaultComMsg();
  notifyValue = userValue;
  resumeWatcher.release();
  // Not lastError: from here on the watcher writes it too.
  return ERROR_SUCCESS;
}

void* CSerialWnd::WatcherEntry(void* self) {
  auto* wnd = static_cast<CSerialWnd*>(self);
  wnd->resumeWatcher.acquire();
  const Status status = wnd->WatchLoop();
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(status));
}

Status CSerialWnd::WatchLoop() {
  SerialCompletion record;
  record.event = watchEvent;
  const SerialEvent waitList[] = {stopEvent, watchEvent};

  Status status = WaitEvent(&record, kInfinite);
  if (status == ERROR_SUCCESS) {
    for (;;) {
      // The stop event is first: it wins when both are signalled.
      if (WaitForSerialEvents(waitList, kInfinite) != 1) break;
      const std::uint32_t events = TakeEvent();
      const std::uint32_t errors = GetLineErrors();  // 0 when the query fails
      // kNoEvent: the wait ended without events (it failed; the re-arm
      // below reports why).
      if (events != 0 && events != kNoEvent) {
        const std::uintptr_t first = ((errors & 0xFFFFu) << 16) | (events & 0xFFFFu);
        platform::PostWindowMessage(notifyWindow, notifyMessage, first, notifyValue);
      }
      status = WaitEvent(&record, kInfinite);
      if (status != ERROR_SUCCESS) break;
    }
  }
  // Nothing may stay armed against this record once the thread is gone.
  CancelEventWait(record);
  return status;
}

// Tear-down order: stop signal, join, events and thread released, notify
// fields cleared, then the port.
Status CSerialWnd::Close() {
  if (watcherStarted) {
    SetSerialEvent(stopEvent);
    pthread_join(watcherThread, nullptr);
    watcherStarted = false;
    watcherThread = pthread_t{};
  }
  CloseSerialEvent(stopEvent);
  CloseSerialEvent(watchEvent);
  notifyWindow = platform::WindowHandle::None;
  notifyMessage = 0;
  notifyValue = 0;
  return CSerialLink::Close();
}

}  // namespace serial
