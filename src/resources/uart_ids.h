#pragma once
// Control identifiers of the UART settings dialog (template 132).

namespace ids::uart {

inline constexpr int kTemplate = 132;
inline constexpr int kProtocol = 1031;
inline constexpr int kBaud = 1032;
inline constexpr int kParity = 1033;       // hidden, never sent
inline constexpr int kParityLabel = 1034;  // hidden with its list
inline constexpr int kWarning = 1035;      // shown where the parity row would be
inline constexpr int kSend = 1066;
inline constexpr int kPreview = 1024;

}  // namespace ids::uart
