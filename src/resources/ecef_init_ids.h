#pragma once
// Control identifiers of the ECEF position-initialisation dialog (template 134).

namespace ids::ecef_init {

inline constexpr int kTemplate = 134;
inline constexpr int kX = 1038;
inline constexpr int kY = 1025;
inline constexpr int kZ = 1026;
inline constexpr int kClock = 1027;
inline constexpr int kTime = 1028;
inline constexpr int kWeek = 1029;
inline constexpr int kChannel = 1035;
inline constexpr int kReset = 1036;
inline constexpr int kSend = 1030;
inline constexpr int kPreview = 1037;

}  // namespace ids::ecef_init
