target_sources(gpsdesk_core PRIVATE resources/main_template.cpp)
