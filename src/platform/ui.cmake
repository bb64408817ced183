target_sources(gpsdesk_ui PRIVATE
  platform/dialog.cpp
  platform/dialog_builder.cpp
  platform/dialog_look.cpp
  platform/prompts.cpp
  platform/resource_images.cpp
  platform/system_menu.cpp
  platform/text_controls.cpp
  platform/window_timers.cpp)
