#pragma once
// Control identifiers of the reset dialog (template 139).

namespace ids::reset {

inline constexpr int kTemplate = 139;
inline constexpr int kStartMode = 1032;
inline constexpr int kFirstFlag = 1070;  // tick boxes 1070 to 1077: restart bits 0 to 7
inline constexpr int kFlagCount = 8;
inline constexpr int kBinaryFormat = 1078;
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1024;

}  // namespace ids::reset
