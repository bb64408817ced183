target_sources(gpsdesk_core PRIVATE
  serial/serial_status.cpp
  serial/serial_event.cpp
  serial/serial_system.cpp
  serial/completion_engine.cpp
  serial/serial_link.cpp
  serial/serial_wnd.cpp
  serial/port_names.cpp
  serial/net_address.cpp
  serial/gpsd_stream.cpp
  serial/net_source.cpp
  platform/window_messages.cpp)

find_package(Threads REQUIRED)
target_link_libraries(gpsdesk_core PUBLIC Threads::Threads)
