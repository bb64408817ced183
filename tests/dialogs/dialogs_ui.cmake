# The ten receiver configuration dialogs, opened from the real main window
# with its port open on a pseudo-terminal.
add_executable(test_dialogs_ui
  ui/ui_test_main.cpp
  dialogs/config_dlg_test.cpp
  dialogs/nmea_output_dlg_test.cpp
  dialogs/uart_dlg_test.cpp
  dialogs/datum_dlg_test.cpp
  dialogs/position_dlgs_test.cpp
  dialogs/reset_dlg_test.cpp
  dialogs/choice_dlgs_test.cpp)
target_link_libraries(test_dialogs_ui PRIVATE gpsdesk_ui Qt6::Test GTest::gtest)
gtest_discover_tests(test_dialogs_ui PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
