if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/main_template.cpp)
  target_sources(gpsdesk_core PRIVATE resources/main_template.cpp)
endif()
