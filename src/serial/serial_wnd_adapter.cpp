#include "serial/serial_wnd_adapter.h"

#include "platform/qt_window_messages.h"

namespace serial {

CSerialWndAdapter::~CSerialWndAdapter() {
  // The watcher calls virtual operations: it must end before this object
  // stops being a CSerialWndAdapter.
  if (IsWatching()) Close();
}

Status CSerialWndAdapter::OpenAndWatch(const char* device, QObject* window, platform::MessageId message,
                                       std::int32_t userValue, std::uint32_t inQueue,
                                       std::uint32_t outQueue) {
  return CSerialWnd::OpenAndWatch(device, platform::QtWindowHandle(window), message, userValue, inQueue,
                                  outQueue);
}

}  // namespace serial
