# The two satellite views drawn into images and into the real main window.
add_executable(test_views_ui
  ui/ui_test_main.cpp
  views/sky_painter_test.cpp
  views/chart_painter_test.cpp
  views/main_dlg_views_test.cpp
  views/all_constellations_views_test.cpp)
target_link_libraries(test_views_ui PRIVATE gpsdesk_ui Qt6::Test GTest::gtest)
gtest_discover_tests(test_views_ui PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
