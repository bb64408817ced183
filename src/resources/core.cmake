target_sources(gpsdesk_core PRIVATE
  resources/main_template.cpp
  resources/setup_com_template.cpp
  resources/nmea_output_template.cpp
  resources/uart_template.cpp
  resources/low_power_template.cpp
  resources/ecef_init_template.cpp
  resources/lat_lon_init_template.cpp
  resources/datum_template.cpp
  resources/msg_mode_template.cpp
  resources/nav_settings_template.cpp
  resources/reset_template.cpp
  resources/fix_extraction_template.cpp)
