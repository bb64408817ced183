#include "platform/qt_window_messages.h"

#include <QCoreApplication>
#include <QObject>
#include <QVariant>

namespace platform {
namespace {

constexpr char kHandleProperty[] = "gpsdeskWindowHandle";

// Lives as a child of the window, so it is destroyed with it; until then it
// turns each delivered message into a posted event.
class QtWindowBinding : public QObject, public WindowMessageSink {
 public:
  explicit QtWindowBinding(QObject* window) : QObject(window), window(window), handle(AddWindow(*this)) {}
  ~QtWindowBinding() override { RemoveWindow(handle); }

  WindowHandle Handle() const { return handle; }

  void Deliver(MessageId message, std::uintptr_t first, std::intptr_t second) override {
    QCoreApplication::postEvent(window, new WindowMessageEvent(message, first, second));
  }

 private:
  QObject* window;
  WindowHandle handle;
};

}  // namespace

WindowMessageEvent::WindowMessageEvent(MessageId message, std::uintptr_t first, std::intptr_t second)
    : QEvent(EventType()), message(message), first(first), second(second) {}

QEvent::Type WindowMessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

const WindowMessageEvent* AsWindowMessage(const QEvent* event) {
  if (event == nullptr || event->type() != WindowMessageEvent::EventType()) return nullptr;
  return static_cast<const WindowMessageEvent*>(event);
}

WindowHandle QtWindowHandle(QObject* window) {
  if (window == nullptr) return WindowHandle::None;
  const QVariant known = window->property(kHandleProperty);
  if (known.isValid()) return static_cast<WindowHandle>(known.value<qulonglong>());
  auto* binding = new QtWindowBinding(window);
  window->setProperty(kHandleProperty, QVariant::fromValue(static_cast<qulonglong>(binding->Handle())));
  return binding->Handle();
}

}  // namespace platform
