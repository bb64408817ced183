target_sources(gpsdesk_ui PRIVATE
  platform/qt_window_messages.cpp
  serial/serial_wnd_adapter.cpp)
