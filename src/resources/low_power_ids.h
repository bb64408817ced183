#pragma once
// Control identifiers of the low-power dialog (template 133).

namespace ids::low_power {

inline constexpr int kTemplate = 133;
inline constexpr int kMode = 1031;       // "Operating Mode"
inline constexpr int kOffPeriod = 1032;  // "OFF Period", usable in "LDCM1" only
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1024;

}  // namespace ids::low_power
