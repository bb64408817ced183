target_sources(gpsdesk_core PRIVATE
  resources/main_template.cpp
  resources/setup_com_template.cpp)
