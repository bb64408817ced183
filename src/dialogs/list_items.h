#pragma once
// The items of the configuration dialogs' lists, in list order. A record's
// list position indexes these tables; some sentences carry the item's text,
// others its position or a value from a table beside it.

#include <array>
#include <string_view>

#include "dialogs/settings.h"

namespace dialogs {

// NMEA output-rate dialog: the message buttons; the rate lists hold "1" to "10".
inline constexpr std::array<std::string_view, kNmeaMessageCount> kNmeaMessageNames{"GGA", "GLL", "GSA", "GSV",
                                                                                   "RMC", "VTG", "ZDA"};
inline constexpr int kMinNmeaRate = 1;
inline constexpr int kMaxNmeaRate = 10;

// UART settings dialog. The parity list is hidden and never sent.
inline constexpr std::array<std::string_view, 2> kProtocolItems{"NMEA mode", "Velorin binary"};
inline constexpr std::array<std::string_view, 7> kBaudItems{"1200",  "2400",  "4800", "9600",
                                                            "19200", "38400", "57600"};
inline constexpr std::array<int, 7> kBaudRates{1200, 2400, 4800, 9600, 19200, 38400, 57600};
inline constexpr std::array<std::string_view, 3> kParityItems{"None", "Odd", "Even"};

// Low-power dialog.
inline constexpr std::array<std::string_view, 2> kOperatingModeItems{"full active", "LDCM1"};
inline constexpr std::array<std::string_view, 10> kOffPeriodItems{"0", "1", "2", "3", "4",
                                                                  "5", "6", "7", "8", "9"};

// Channel count, shared by both position-initialisation dialogs: position + 8.
inline constexpr std::array<std::string_view, 9> kChannelItems{"8",  "9",  "10", "11", "12",
                                                               "13", "14", "15", "16"};

// ECEF position initialisation: restart modes and the codes the receiver takes.
inline constexpr std::array<std::string_view, 5> kResetModeItems{
    "Hot start", "Warm start", "Warm start with init", "Cold Start", "Factory Reset"};
inline constexpr std::array<int, 5> kResetModeCodes{1, 2, 3, 4, 8};

// Latitude/longitude position initialisation: the hemispheres, sent as text.
inline constexpr std::array<std::string_view, 2> kNorthSouthItems{"N", "S"};
inline constexpr std::array<std::string_view, 2> kEastWestItems{"E", "W"};

// Message-mode dialog. Positions 0 to 4 are messages 300 to 304; the last
// position stands for all of them.
inline constexpr std::array<std::string_view, 6> kMsgModeMessageItems{
    "PVLRX300 Almanac Data", "PVLRX301 Ephemeris Data",           "PVLRX302 Ionospheric corrections",
    "PVLRX303 UTC Time",     "PVLRX304 GPS constellation health", "ALL Applies to allmessages"};
inline constexpr std::array<std::string_view, 4> kMsgModeModeItems{
    "0 Dissable message", "1 Send message now", "2 Send message on change", "3 Send message now & on change"};

// Navigation settings: both lists are sent as their positions.
inline constexpr std::array<std::string_view, 3> kAltitudeModeItems{"calculate altitude", "hold altitude",
                                                                    "forced 2D"};
inline constexpr std::array<std::string_view, 2> kNavigationItems{"auto detect static", "forced static"};

// Reset dialog: the start-mode keywords, sent as text, and the tick box of
// each restart bit (bit 0 first).
inline constexpr std::array<std::string_view, 4> kStartModeItems{"FACTORY", "HOT", "WARM", "COLD"};
inline constexpr std::array<std::string_view, 8> kResetFlagLabels{
    "Reload settings from Flash",           "Clear almanac data",    "Clear Ephemeris data",
    "Clear Ionospheric & tropospheric",     "Invalidate position",   "Invalidate time",
    "Copy oscillator offset from settings", "Repeated at each reset"};

// Fix and extraction dialog: both boxes, sent as their positions.
inline constexpr std::array<std::string_view, 2> kFixItems{"disable", "enable"};

}  // namespace dialogs
