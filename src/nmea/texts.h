#pragma once
// The display texts the main window shows for received sentences, built in
// one place so that every interpreter (the GPS-only one and the
// every-constellation one) writes exactly the same texts in the same order.

#include <cstdint>
#include <string_view>

#include "nmea/interpreter.h"
#include "nmea/sentence.h"

namespace nmea {

// $--RMC: speed (field 8, knots, times 1.8518518, "%u km/h") and course
// (field 9 as received).
void AppendMotionTexts(const Fields& s, Interpretation& out);

// Version reply: field 2 as received.
void AppendVersionText(const Fields& s, Interpretation& out);

// $--GGA: UTC, altitude, longitude degrees and minutes, latitude degrees and
// minutes. Stores the position in 1/10000 arc-minute (south and west
// negative) in `latitude` and `longitude`.
void AppendGgaTexts(const Fields& s, std::int32_t& latitude, std::int32_t& longitude, Interpretation& out);

// $--GSA: "SVs in use  : %d", the three DOP fields as received ("0" when
// empty) and the fix state for the navigation mode (2 and 3 are fixes).
void AppendGsaTexts(int inUse, std::string_view pdop, std::string_view hdop, std::string_view vdop,
                    std::int32_t navMode, Interpretation& out);

// "SVs in view : %d".
void AppendInViewText(int inView, Interpretation& out);

// ddmm.mmmm (or dddmm.mmmm) as the display reads it, in 1/10000 arc-minute:
// the degrees are the characters before the two in front of the ".", the
// minutes at most 7 characters from there.
std::int32_t ParseCoordinate(std::string_view field);

// A GGA coordinate field and its hemisphere field as the position texts use
// them: ParseCoordinate of the field ("0" when empty), negated when the
// hemisphere is exactly `negative` ("S" or "W").
std::int32_t CoordinateUnits(std::string_view field, std::string_view hemisphere, std::string_view negative);

}  // namespace nmea
