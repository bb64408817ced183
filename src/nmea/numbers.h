#pragma once
// Decimal conversions of received fields, read the way the C library's atoi
// and atof read them (leading white space, optional sign, as many digits as
// form a number, 0 when nothing does), but with a defined result for every
// input and independent of the process locale:
//
//  - AtoI saturates: a value beyond the 32-bit range reads as INT32_MIN or
//    INT32_MAX (the C library leaves that case undefined).
//  - AtoF reads exactly what strtod reads in the "C" locale, including
//    "inf", "nan" and hexadecimal forms.
//  - TruncToInt converts a double to a 32-bit integer by truncation toward
//    zero; NaN gives 0 and values beyond the range saturate, where a plain
//    cast would be undefined.

#include <cstdint>
#include <string_view>

namespace nmea {

std::int32_t AtoI(std::string_view text);
double AtoF(std::string_view text);
std::int32_t TruncToInt(double value);

}  // namespace nmea
