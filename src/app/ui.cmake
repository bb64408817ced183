target_sources(gpsdesk_ui PRIVATE
  app/about_dlg.cpp
  app/control_app.cpp
  app/main_dlg.cpp
  app/main_dlg_receive.cpp)
