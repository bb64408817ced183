# Serial link: the port on pseudo-terminals, the settings through a stand-in
# for the system calls, the watcher, the COM-name mapping and the window
# messages the watcher posts; network sources on the loopback.
add_executable(serial_tests
  serial/serial_test_support.cpp
  serial/serial_link_test.cpp
  serial/serial_link_seam_test.cpp
  serial/serial_link_pending_test.cpp
  serial/serial_link_events_test.cpp
  serial/serial_wnd_test.cpp
  serial/port_names_test.cpp
  serial/window_messages_test.cpp
  serial/net_test_support.cpp
  serial/net_address_test.cpp
  serial/net_link_test.cpp)
target_link_libraries(serial_tests PRIVATE gpsdesk_core GTest::gtest_main)
gtest_discover_tests(serial_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

if(GPSDESK_GUI)
  add_executable(serial_ui_tests
    serial/serial_test_support.cpp
    serial/serial_wnd_adapter_test.cpp)
  target_link_libraries(serial_ui_tests PRIVATE gpsdesk_ui Qt6::Test GTest::gtest)
  gtest_discover_tests(serial_ui_tests DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
