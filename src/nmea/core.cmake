target_sources(gpsdesk_core PRIVATE
  nmea/sentence.cpp
  nmea/numbers.cpp
  nmea/interpreter.cpp
  nmea/texts.cpp
  nmea/json.cpp)
