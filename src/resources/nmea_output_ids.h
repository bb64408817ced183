#pragma once
// Control identifiers of the NMEA output-rate dialog (template 131).

namespace ids::nmea_output {

inline constexpr int kTemplate = 131;
inline constexpr int kFirstMessage = 1053;  // "GGA" to "ZDA": 1053 to 1059, in message order
inline constexpr int kMessageReset = 1036;  // "Reset" at the end of the "Msg" row
inline constexpr int kRateReset = 1037;     // "Reset" at the end of the "Rate" row
inline constexpr int kSummary = 1060;       // the selection, after "Selected Msg:"
inline constexpr int kSend = 1041;
inline constexpr int kPreview = 1024;
inline constexpr int kFirstRate = 1110;  // rate lists 1110 to 1116, one under each message button

}  // namespace ids::nmea_output
