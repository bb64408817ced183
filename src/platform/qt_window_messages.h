#pragma once
// Window messages for Qt objects: a QObject becomes a window of the
// window-message registry (window_messages.h), and every message posted to it
// arrives as a WindowMessageEvent through QCoreApplication::postEvent, on the
// object's own thread. The event type is registered once with
// QEvent::registerEventType; the message id travels inside the event.
//
// A window handles them in event() or customEvent():
//
//   if (const auto* m = platform::AsWindowMessage(e)) {
//     if (m->Message() == serial::CSerialWnd::DefaultComMsg()) OnSerialNotify(m->First(), m->Second());
//   }

#include <QEvent>

#include "platform/window_messages.h"

class QObject;

namespace platform {

class WindowMessageEvent : public QEvent {
 public:
  WindowMessageEvent(MessageId message, std::uintptr_t first, std::intptr_t second);

  static QEvent::Type EventType();

  MessageId Message() const { return message; }
  std::uintptr_t First() const { return first; }
  std::intptr_t Second() const { return second; }

 private:
  MessageId message;
  std::uintptr_t first;
  std::intptr_t second;
};

// The window message an event carries, or nullptr for any other event.
const WindowMessageEvent* AsWindowMessage(const QEvent* event);

// The handle under which `window` receives posted messages; None for null.
// The first call binds the object to the registry; the binding goes away with
// the object, after which posts to the handle fail. Call on the object's
// thread.
WindowHandle QtWindowHandle(QObject* window);

}  // namespace platform
