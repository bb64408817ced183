# Ports: who else holds a device and the lock files, decided on made-up facts.
add_executable(ports_tests
  ports/holders_test.cpp
  ports/lock_file_test.cpp
  ports/port_guard_test.cpp)
target_include_directories(ports_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ports_tests PRIVATE gpsdesk_core GTest::gtest_main)
gtest_discover_tests(ports_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
