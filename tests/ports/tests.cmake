# Ports: who else holds a device and the lock files, decided on made-up facts;
# the serial link against other processes on pseudo-terminals; why an open
# failed and what a port name stands for, from made-up facts and a made-up
# sysfs; the udev rule the package installs; following a device that is
# unplugged and plugged in again.
add_executable(ports_tests
  serial/serial_test_support.cpp
  ports/holders_test.cpp
  ports/lock_file_test.cpp
  ports/port_guard_test.cpp
  ports/pty_holder_test.cpp
  ports/diagnosis_test.cpp
  ports/diagnosis_facts_test.cpp
  ports/device_details_test.cpp
  ports/open_attempt_test.cpp
  ports/udev_rule_test.cpp
  ports/reconnect_test.cpp)
target_include_directories(ports_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(ports_tests PRIVATE
  GPSDESK_UDEV_RULE="${PROJECT_SOURCE_DIR}/packaging/udev/60-gpsdesk.rules")
target_link_libraries(ports_tests PRIVATE gpsdesk_core GTest::gmock GTest::gtest_main)
gtest_discover_tests(ports_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

if(GPSDESK_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(ports_ui_tests
    ui/ui_test_main.cpp
    ports/port_holder_window_test.cpp
    ui/setup_com_details_test.cpp
    ui/port_why_test.cpp
    ui/port_follow_test.cpp
    ports/setup_com_address_test.cpp)
  target_include_directories(ports_ui_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(ports_ui_tests PRIVATE gpsdesk_ui Qt6::Test GTest::gmock GTest::gtest)
  gtest_discover_tests(ports_ui_tests DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
