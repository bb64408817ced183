#pragma once
// What each receiver configuration dialog remembers between its runs: the
// values last sent from it. The main window holds one record per dialog, set
// to these initial values when it starts; only a dialog's Send writes it.
// Records hold list positions (not the items' texts or the values they stand
// for) and edit texts as typed, in 8-bit text.

#include <array>
#include <string>

namespace dialogs {

inline constexpr int kNmeaMessageCount = 7;  // GGA, GLL, GSA, GSV, RMC, VTG, ZDA

// NMEA output-rate dialog ("Set NMEA").
struct NmeaOutputSettings {
  // The chosen messages in the order they were chosen; the first
  // `selectedCount` entries count.
  std::array<int, kNmeaMessageCount> selected{0, 2, 3, 4};  // GGA, GSA, GSV, RMC
  int selectedCount = 4;
  // Output rate (1 to 10) of each message, by message index.
  std::array<int, kNmeaMessageCount> rates{1, 1, 1, 1, 1, 1, 1};
};

// UART settings dialog ("Set Baud").
struct UartSettings {
  int protocolIndex = 0;  // "NMEA mode"
  int baudIndex = 3;      // "9600"
  int parityIndex = 0;    // "None"; kept, never sent
};

// ECEF position initialisation ("PVLX101").
struct EcefInitSettings {
  std::string x = "0";
  std::string y = "0";
  std::string z = "0";
  std::string clock = "0";
  std::string time = "0";
  std::string week = "0";
  int channelIndex = 4;  // "12"
  int resetIndex = 0;    // "Hot start"
};

// Navigation settings ("PVLX110").
struct NavSettings {
  std::string elevation = "0";
  std::string minSnr = "20";
  std::string maxDop = "40";
  std::string localTime = "0";
  std::string maxAltitude = "10000";
  int altitudeModeIndex = 0;  // "calculate altitude"
  std::string altitude2D = "0";
  int navigationIndex = 0;  // "auto detect static"
};

// Fix and extraction dialog ("PVLX113").
struct FixSettings {
  int fixIndex = 0;         // "disable"
  int extractionIndex = 0;  // "disable"
};

// Low-power dialog ("Low Power"). The dialog never writes these back, so
// every opening starts from them.
struct LowPowerSettings {
  int modeIndex = 0;       // "full active"
  int offPeriodIndex = 1;  // "1"
};

// Latitude/longitude position initialisation ("PVLX104").
struct LatLonInitSettings {
  std::string latitude = "25,00.0000";  // degrees "," minutes: two fields
  int northSouthIndex = 0;              // "N"
  std::string longitude = "121,00.0000";
  int eastWestIndex = 0;  // "E"
  std::string altitude = "0";
  std::string clockOffset = "0";
  std::string timeOfWeek = "0";
  std::string weekNumber = "0";
  int channelIndex = 4;  // "12"
};

// Message-mode dialog ("PVLX107").
struct MsgModeSettings {
  int messageIndex = 0;  // "PVLRX300 Almanac Data"
  int modeIndex = 0;     // "0 Dissable message"
};

// Reset dialog ("PVLX111").
struct ResetSettings {
  int flags = 0;           // the 8 restart bits last sent, 0 to 255
  int startModeIndex = 0;  // "FACTORY"
  bool binaryFormat = false;
};

inline constexpr int kDefaultDatumRow = 216;  // "WGS 1984 Global Definition"

// Every dialog's record, in the order the main window declares them.
struct DialogSettings {
  NmeaOutputSettings nmeaOutput;
  UartSettings uart;
  EcefInitSettings ecefInit;
  int lastDatumRow = kDefaultDatumRow;
  NavSettings nav;
  FixSettings fix;
  LowPowerSettings lowPower;
  LatLonInitSettings latLonInit;
  MsgModeSettings msgMode;
  ResetSettings reset;
};

}  // namespace dialogs
