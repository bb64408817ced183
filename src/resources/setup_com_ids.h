#pragma once
// Control identifiers of the Setup COM Port dialog (template 130).

namespace ids {

inline constexpr int kSetupComTemplate = 130;
inline constexpr int kSetupComPort = 1003;      // drop-down list "COM PORT"
inline constexpr int kSetupBaudRate = 1006;     // drop-down list "BAUD RATE"
inline constexpr int kSetupDevice = 1007;       // which device the chosen name maps to
inline constexpr int kSetupDetails = 1009;      // what is known of that device, a line each
inline constexpr int kSetupAddress = 1010;      // edit: a network address for the chosen name
inline constexpr int kSetupUseAddress = 1011;   // button "Use": publishes (or removes) that address
inline constexpr int kSetupAddressNote = 1012;  // what came of it

}  // namespace ids
