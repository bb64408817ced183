target_sources(gpsdesk_ui PRIVATE
  app/about_dlg.cpp
  app/control_app.cpp
  app/main_dlg.cpp
  app/main_dlg_console.cpp
  app/main_dlg_serial.cpp
  app/main_dlg_source.cpp
  app/main_dlg_receive.cpp
  app/main_dlg_views.cpp
  app/setup_com_dlg.cpp)
