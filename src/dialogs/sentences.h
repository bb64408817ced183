#pragma once
// The configuration sentences the dialogs send, one builder per dialog. Each
// takes the dialog's current values (the same record the main window keeps)
// and returns the finished sentence with its "*hh" checksum and without the
// CR LF that SendSentence adds on the wire.
//
// Edit texts go in as typed, except that control characters (0x00 to 0x1F,
// 0x7F) are dropped, so a sentence never ends early on the wire. A list
// position outside its list is taken as the nearest item, and an NMEA rate
// outside 1 to 10 as the nearest rate, so every record yields a sentence the
// dialog itself could have built.

#include <string>
#include <string_view>

#include "dialogs/settings.h"

namespace dialogs {

// What the dialogs' preview fields show: the sentence and the visible text
// "<CR><LF>" for the line end that SendSentence adds.
std::string PreviewText(std::string_view sentence);

// --- NMEA output-rate dialog: "$PVLRX108" (which messages) and "$PVLRX103" (their rates).

struct NmeaOutputSentences {
  std::string summary;         // "GGA-1 GSA-1 GSV-1 RMC-1 ", shown after "Selected Msg:"
  std::string enableSentence;  // "$PVLRX108,GGA,GSA,GSV,RMC*73"
  std::string rateSentence;    // "$PVLRX103,GGA,1,GSA,1,GSV,1,RMC,1*78"
};

NmeaOutputSentences BuildNmeaOutputSentences(const NmeaOutputSettings& settings);

// Both sentences, each with "<CR><LF>", on two lines.
std::string NmeaOutputPreview(const NmeaOutputSentences& sentences);

// A message button: appends `message` (0 to 6) to the selection unless it is
// already selected or the selection is full. Returns whether it changed.
bool SelectNmeaMessage(NmeaOutputSettings& settings, int message);

// --- UART settings dialog: "$PVLRX100,protocol,baud,0".

std::string BuildUartSentence(const UartSettings& settings);

// The baud rate at a position of the baud list (1200 to 57600), which the
// local port is switched to after the sentence went out.
int UartBaudRate(int baudIndex);

// --- Low-power dialog: "$PVLRX112,mode,off"; the OFF period counts only in "LDCM1".

std::string BuildLowPowerSentence(const LowPowerSettings& settings);

// --- ECEF position initialisation: "$PVLRX101,x,y,z,clock,time,week,channels,reset,".

std::string BuildEcefInitSentence(const EcefInitSettings& settings);

// --- Latitude/longitude position initialisation:
// "$PVLRX104,lat,N|S,lon,E|W,altitude,clock,time,week,channels,". The latitude
// and longitude texts carry their own comma between degrees and minutes.

std::string BuildLatLonInitSentence(const LatLonInitSettings& settings);

// --- Datum dialog: "$PVLRX106,number" and five fields, empty for a
// catalogue datum, the user's texts for the user-defined one.

// The five edit fields of the datum dialog.
struct DatumFieldTexts {
  std::string dx, dy, dz, inverseFlattening, semiMajorAxis;
  friend bool operator==(const DatumFieldTexts&, const DatumFieldTexts&) = default;
};

// Whether the row is the user-defined datum, whose fields the user edits.
bool IsUserDefinedDatumRow(int row);

// What the five fields show for a catalogue row: its shift and its
// ellipsoid's two codes, each "%d".
DatumFieldTexts DatumFieldTextsOf(int row);

// `userValues` are sent only for the user-defined row.
std::string BuildDatumSentence(int row, const DatumFieldTexts& userValues);

// --- Message-mode dialog: "$PVLRX107,300..304|ALL,mode".

std::string BuildMsgModeSentence(const MsgModeSettings& settings);

// --- Navigation settings: "$PVLRX110,0,elevation,1,minSnr,...,7,navigation".

std::string BuildNavSentence(const NavSettings& settings);

// --- Reset dialog: "$PVLRX111,KEYWORD", or "$PVLRX111,flags" in binary format.
// Only the low 8 bits of `flags` are restart bits.

std::string BuildResetSentence(const ResetSettings& settings);

// --- Fix and extraction dialog: "$PVLRX113,fix,extraction".

std::string BuildFixSentence(const FixSettings& settings);

}  // namespace dialogs
