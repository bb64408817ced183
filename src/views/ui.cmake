target_sources(gpsdesk_ui PRIVATE
  views/chart_painter.cpp
  views/draw_tools.cpp
  views/sky_painter.cpp)
