# Widget tests: the real windows, built and driven without a display.
add_executable(test_ui
  ui/ui_test_main.cpp
  ui/dialog_builder_test.cpp
  ui/platform_test.cpp
  ui/main_dlg_test.cpp
  ui/captions_fit_test.cpp
  ui/monitor_test.cpp
  ui/receive_path_test.cpp
  ui/constellation_mode_test.cpp)
target_link_libraries(test_ui PRIVATE gpsdesk_ui Qt6::Test GTest::gtest)
target_compile_definitions(test_ui PRIVATE GPSDESK_TEST_DATA="${GPSDESK_TEST_DATA}")
# The test program itself falls back to the offscreen platform when listing tests.
gtest_discover_tests(test_ui PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Regenerates docs/main-window.png: gpsdesk-screenshot <path>.
add_executable(gpsdesk-screenshot ui/screenshot_main.cpp)
target_link_libraries(gpsdesk-screenshot PRIVATE gpsdesk_ui)
add_test(NAME ui.screenshot COMMAND gpsdesk-screenshot ${CMAKE_CURRENT_BINARY_DIR}/main-window.png)
set_tests_properties(ui.screenshot PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
