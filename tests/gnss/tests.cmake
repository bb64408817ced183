add_executable(test_gnss
  gnss/constellation_test.cpp
  gnss/gsa_test.cpp
  gnss/gsv_test.cpp
  gnss/epoch_test.cpp
  gnss/recordings_test.cpp
  gnss/decoder_all_test.cpp
  gnss/alloc_test.cpp
  gnss/first_fix_test.cpp
  gnss/unshown_notice_test.cpp)
target_link_libraries(test_gnss PRIVATE gpsdesk_core GTest::gtest_main)
target_include_directories(test_gnss PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(test_gnss PRIVATE
  GPSDESK_TEST_DATA="${GPSDESK_TEST_DATA}"
  GPSDESK_DECODE="$<TARGET_FILE:gpsdesk-decode>")
add_dependencies(test_gnss gpsdesk-decode)
gtest_discover_tests(test_gnss DISCOVERY_TIMEOUT 60)
