# End to end: the real main window against gpsdesk-sim over its pseudo-terminal
# and its socket, and against a real gpsd fed by gpsfake.
add_executable(test_e2e e2e/e2e_main.cpp e2e/e2e_test.cpp e2e/e2e_network_test.cpp)
target_link_libraries(test_e2e PRIVATE gpsdesk_ui Qt6::Test GTest::gtest)
target_compile_definitions(test_e2e PRIVATE GPSDESK_SIM="$<TARGET_FILE:gpsdesk-sim>"
  GPSDESK_TEST_DATA="${GPSDESK_TEST_DATA}")
add_dependencies(test_e2e gpsdesk-sim)
gtest_discover_tests(test_e2e
  PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
