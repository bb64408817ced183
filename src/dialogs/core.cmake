target_sources(gpsdesk_core PRIVATE
  dialogs/field_text.cpp
  dialogs/sentences.cpp
  dialogs/datum_catalogue.cpp
  dialogs/datum_catalogue_data.cpp)
