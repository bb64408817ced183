add_executable(test_dialogs
  dialogs/sentences_test.cpp
  dialogs/field_text_test.cpp
  dialogs/datum_catalogue_test.cpp)
target_link_libraries(test_dialogs PRIVATE gpsdesk_core GTest::gtest_main)
gtest_discover_tests(test_dialogs DISCOVERY_TIMEOUT 60)
