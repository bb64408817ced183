add_executable(test_core
  nmea/sentence_test.cpp
  nmea/numbers_test.cpp
  nmea/interpreter_test.cpp
  nmea/line_assembler_test.cpp
  nmea/decoder_test.cpp
  app/console_trim_test.cpp
  app/receive_guard_test.cpp
  app/replay_reader_test.cpp
  app/source_identity_test.cpp
  views/geometry_test.cpp)
target_link_libraries(test_core PRIVATE gpsdesk_core GTest::gtest_main)
target_compile_definitions(test_core PRIVATE
  GPSDESK_TEST_DATA="${GPSDESK_TEST_DATA}"
  GPSDESK_DECODE="$<TARGET_FILE:gpsdesk-decode>")
add_dependencies(test_core gpsdesk-decode)
gtest_discover_tests(test_core DISCOVERY_TIMEOUT 60)
