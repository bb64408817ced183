target_sources(gpsdesk_core PRIVATE
  app/line_assembler.cpp)
