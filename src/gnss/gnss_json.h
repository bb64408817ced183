#pragma once
// The decoder's JSON lines in the "All constellations" mode: the members
// sentence, texts and actions exactly as in the GPS-only mode, then
//  - after a GGA the model took: latitude and longitude in 1/10000 arc-minute;
//  - with redrawViews: svInView and sky, one object per satellite of the
//    announced picture in key order:
//      {"sys":"GPS","svid":12,"label":"G12","el":45,"az":120,"cno":38,"used":1,"signals":[1,8]}
//    (el, az and cno are null when the receiver left them empty; signals
//    lists the signal ids that came with a C/N0);
//  - with withState: state, holding inUse, the used labels, svInView and sky.

#include <string>
#include <string_view>

#include "gnss/gnss_model.h"
#include "nmea/interpreter.h"

namespace gnss {

struct JsonOptions {
  bool withState = false;
};

void AppendJsonLine(std::string& out, std::string_view sentence, const nmea::Interpretation& r,
                    const GnssModel& model, const JsonOptions& options);

}  // namespace gnss
