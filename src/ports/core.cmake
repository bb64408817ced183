target_sources(gpsdesk_core PRIVATE
  ports/system_facts.cpp
  ports/lock_file.cpp
  ports/holders.cpp
  ports/port_guard.cpp
  ports/diagnosis_facts.cpp
  ports/diagnosis.cpp
  ports/device_details.cpp
  ports/open_history.cpp
  ports/hotplug.cpp
  ports/reconnect.cpp)
