#pragma once
// Control identifiers of the datum dialog (template 136).

namespace ids::datum {

inline constexpr int kTemplate = 136;
inline constexpr int kList = 1061;
inline constexpr int kDx = 1067;
inline constexpr int kDy = 1025;
inline constexpr int kDz = 1026;
inline constexpr int kInverseFlattening = 1062;  // "Iflat"
inline constexpr int kSemiMajorAxis = 1063;      // "Majora"
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1064;

}  // namespace ids::datum
