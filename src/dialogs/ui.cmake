target_sources(gpsdesk_ui PRIVATE
  dialogs/config_dlg.cpp
  dialogs/sendable_validator.cpp
  dialogs/nmea_output_dlg.cpp
  dialogs/uart_dlg.cpp
  dialogs/low_power_dlg.cpp
  dialogs/ecef_init_dlg.cpp
  dialogs/lat_lon_init_dlg.cpp
  dialogs/datum_dlg.cpp
  dialogs/msg_mode_dlg.cpp
  dialogs/nav_settings_dlg.cpp
  dialogs/reset_dlg.cpp
  dialogs/fix_extraction_dlg.cpp)
