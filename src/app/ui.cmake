target_sources(gpsdesk_ui PRIVATE
  app/about_dlg.cpp
  app/constellation_mode.cpp
  app/control_app.cpp
  app/main_dlg.cpp
  app/main_dlg_console.cpp
  app/main_dlg_serial.cpp
  app/main_dlg_source.cpp
  app/main_dlg_receive.cpp
  app/main_dlg_views.cpp
  app/port_doctor_menu.cpp
  app/port_follower.cpp
  app/port_survey.cpp
  app/settings_store.cpp
  app/setup_com_dlg.cpp
  app/udev_monitor.cpp)
# The port list (which reads udev) and the system bus serve only the windows.
find_package(Qt6 REQUIRED COMPONENTS SerialPort DBus)
target_link_libraries(gpsdesk_ui PUBLIC Qt6::SerialPort Qt6::DBus)
# udev's device announcements, for following a receiver that is plugged in
# again; only the windows listen to them.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBUDEV REQUIRED IMPORTED_TARGET libudev)
target_link_libraries(gpsdesk_ui PRIVATE PkgConfig::LIBUDEV)
