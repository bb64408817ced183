target_sources(gpsdesk_core PRIVATE
  gnss/constellation.cpp
  gnss/first_fix.cpp
  gnss/gnss_model.cpp
  gnss/interpret_all.cpp
  gnss/gnss_json.cpp
  gnss/unshown_notice.cpp)
