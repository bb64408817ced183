#pragma once
// Control identifiers of the latitude/longitude position-initialisation
// dialog (template 135).

namespace ids::lat_lon_init {

inline constexpr int kTemplate = 135;
inline constexpr int kNorthSouth = 1061;
inline constexpr int kLatitude = 1025;
inline constexpr int kEastWest = 1062;
inline constexpr int kLongitude = 1026;
inline constexpr int kClockOffset = 1027;
inline constexpr int kTimeOfWeek = 1028;
inline constexpr int kWeekNumber = 1029;
inline constexpr int kAltitude = 1030;
inline constexpr int kChannel = 1035;
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1024;

}  // namespace ids::lat_lon_init
