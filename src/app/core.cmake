target_sources(gpsdesk_core PRIVATE
  app/console_trim.cpp
  app/display_texts.cpp
  app/line_assembler.cpp
  app/network_source.cpp
  app/port_errors.cpp
  app/receive_guard.cpp
  app/replay_reader.cpp
  app/source_identity.cpp
  app/timer_texts.cpp)
