target_sources(gpsdesk_core PRIVATE views/geometry.cpp)
