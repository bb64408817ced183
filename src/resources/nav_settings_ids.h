#pragma once
// Control identifiers of the navigation settings dialog (template 138).

namespace ids::nav_settings {

inline constexpr int kTemplate = 138;
inline constexpr int kElevation = 1025;     // parameter 0
inline constexpr int kMinSnr = 1026;        // parameter 1
inline constexpr int kMaxDop = 1027;        // parameter 2
inline constexpr int kLocalTime = 1028;     // parameter 3
inline constexpr int kMaxAltitude = 1029;   // parameter 4
inline constexpr int kAltitudeMode = 1032;  // parameter 5
inline constexpr int kAltitude2D = 1030;    // parameter 6
inline constexpr int kNavigation = 1062;    // parameter 7
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1024;

}  // namespace ids::nav_settings
