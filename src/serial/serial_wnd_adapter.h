#pragma once
// CSerialWndAdapter: CSerialWnd for a Qt window. The main window passes
// itself; notifications then arrive as platform::WindowMessageEvent
// (qt_window_messages.h) on the window's thread.

#include "serial/serial_wnd.h"

class QObject;

namespace serial {

class CSerialWndAdapter : public CSerialWnd {
 public:
  using CSerialWnd::CSerialWnd;
  ~CSerialWndAdapter() override;

  using CSerialWnd::OpenAndWatch;
  // As CSerialWnd::OpenAndWatch, with the window's handle (None when `window`
  // is null). Call on the window's thread.
  virtual Status OpenAndWatch(const char* device, QObject* window, platform::MessageId message,
                              std::int32_t userValue, std::uint32_t inQueue, std::uint32_t outQueue);
};

}  // namespace serial
