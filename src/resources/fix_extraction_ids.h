#pragma once
// Control identifiers of the fix and extraction dialog (template 140).

namespace ids::fix_extraction {

inline constexpr int kTemplate = 140;
inline constexpr int kFix = 1031;
inline constexpr int kExtraction = 1032;
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1024;

}  // namespace ids::fix_extraction
