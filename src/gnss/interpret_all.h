#pragma once
// The main window's interpretation in the "All constellations" mode: the
// same display texts, by the same control ids and in the same formats as the
// GPS-only interpreter (nmea::Interpret), fed by the every-constellation
// model instead of the $GP sentences alone:
//
//  - position, UTC and altitude from the GGA the model takes (any talker;
//    GN before GP before others within one epoch);
//  - speed and course from the RMC the model takes;
//  - "SVs in use", PDOP/HDOP/VDOP and the fix state when the model publishes
//    an epoch's GSA union (these texts come first in `texts`; they may ride
//    on the sentence after the last GSA);
//  - "SVs in view" with `redrawViews` when the model announces a satellite
//    picture (these come last);
//  - `stopTtff` on every GSA of any talker that reports a 2D or 3D fix;
//  - the version reply exactly as the GPS-only interpreter handles it.
//
// `kind` says which of the five sentence kinds the sentence was, whatever
// its talker (Other for GLL, VTG, ZDA and the rest).

#include <string_view>

#include "gnss/gnss_model.h"
#include "nmea/interpreter.h"

namespace gnss {

nmea::Interpretation InterpretAll(std::string_view sentence, GnssModel& model);

// Same, reusing `out` (cleared first); returns the model's Change bits.
unsigned InterpretAll(std::string_view sentence, GnssModel& model, nmea::Interpretation& out);

}  // namespace gnss
