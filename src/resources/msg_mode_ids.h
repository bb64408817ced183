#pragma once
// Control identifiers of the message-mode dialog (template 137).

namespace ids::msg_mode {

inline constexpr int kTemplate = 137;
inline constexpr int kMessage = 1031;
inline constexpr int kMode = 1032;
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1024;

}  // namespace ids::msg_mode
