// The main window (template 102) and the About box (template 100).

#include <array>

#include "gpsdesk_version.h"
#include "resources/dialog_template.h"
#include "resources/main_ids.h"

namespace tmpl {
namespace {

using enum Kind;

// Resource numbers of the pictures, as template captions.
constexpr std::string_view kLogoBitmap = "139";
constexpr std::string_view kDegreeBitmap = "161";
constexpr std::string_view kAppIconResource = "128";

constexpr std::array kMainControls = std::to_array<ControlTemplate>({
    // The two views fill the left column; 1113 marks the client origin.
    {ids::kSkyFrame, Frame, "", 4, 4, 182, 168, kHidden},
    {ids::kChartFrame, EtchedFrame, "", 4, 172, 182, 68},
    {ids::kOriginFrame, Frame, "", 0, 0, 1, 1, kHidden},

    // Source selection.
    {kNoId, GroupBox, "Source", 187, 4, 132, 24},
    {ids::kOpenClose, Button, "Open", 190, 13, 24, 12},
    {ids::kSourceLabel, Label, "COM1 115200bps", 215, 14, 61, 9, kNoWrap},
    {ids::kFileLabel, Label, "NMEA File", 215, 14, 35, 9, kNoWrap},
    {ids::kReplaySpeed, DropList, "", 251, 12, 25, 80},
    {ids::kNmeaFile, Button, "File", 277, 12, 20, 13},
    {ids::kComSetup, Button, "COM", 298, 12, 19, 13},

    // Position, altitude, speed and course.
    {kNoId, GroupBox, "", 187, 25, 131, 49},
    {kNoId, Label, "Latitude    :", 190, 32, 39, 9, kNoWrap},
    {ids::kLatitudeDeg, Label, "N000", 231, 32, 18, 9},
    {kNoId, Bitmap, kDegreeBitmap, 249, 32, 3, 3},
    {ids::kLatitudeMin, Label, "00'00.00\"", 253, 32, 34, 9, kNoWrap},
    {kNoId, Label, "Longitude :", 190, 42, 39, 9, kNoWrap},
    {ids::kLongitudeDeg, Label, "E000", 231, 42, 18, 9},
    {kNoId, Bitmap, kDegreeBitmap, 249, 42, 3, 3},
    {ids::kLongitudeMin, Label, "00'00.00\"", 253, 42, 34, 9, kNoWrap},
    {kNoId, Label, "Altitude     :", 190, 52, 39, 9, kNoWrap},
    {ids::kAltitude, Label, "0 m", 231, 52, 60, 9, kNoWrap},
    {kNoId, Label, "Speed :", 190, 62, 26, 9, kNoWrap},
    {ids::kSpeed, Label, "0 Km/h", 217, 62, 33, 9, kNoWrap},
    {kNoId, Label, "Course:", 251, 62, 26, 9, kNoWrap},
    {ids::kCourse, LabelRight, "360.00", 277, 62, 25, 9, kNoWrap},
    {kNoId, Bitmap, kDegreeBitmap, 303, 62, 3, 3},

    // Dilutions of precision; satellites and fix.
    {kNoId, GroupBox, "", 187, 72, 60, 38},
    {ids::kPdop, Label, "PDOP=0.00", 190, 80, 55, 9, kNoWrap},
    {ids::kHdop, Label, "HDOP=0.00", 190, 90, 55, 9, kNoWrap},
    {ids::kVdop, Label, "VDOP=0.00", 190, 100, 55, 9, kNoWrap},
    {kNoId, GroupBox, "", 249, 72, 70, 38},
    {ids::kSvsInUse, Label, "SVs in use  : 0", 252, 80, 64, 9, kNoWrap},
    {ids::kSvsInView, Label, "SVs in view : 0", 252, 90, 64, 9, kNoWrap},
    {ids::kFix, Label, "Fix : not available", 252, 100, 64, 9, kNoWrap},

    // Time to first fix and stopwatch.
    {kNoId, GroupBox, "", 187, 108, 89, 19},
    {ids::kTtff, Label, "TTFF  0 seconds", 190, 115, 60, 9, kNoWrap},
    {ids::kTtffStart, Button, "Start", 251, 113, 22, 12},
    {kNoId, GroupBox, "", 277, 108, 86, 19},
    {ids::kStopwatch, Label, "Timer  00:00:00", 280, 115, 56, 9, kNoWrap},
    {ids::kStopwatchStart, Button, "Start", 338, 113, 22, 12},

    // Receiver version and UTC.
    {ids::kVersion, Label, "Version unknown", 190, 128, 115, 9, kNoWrap},
    {ids::kUtc, Label, "UTC = 00:00:00", 307, 128, 58, 9, kNoWrap},

    // Queries and in-system programming.
    {ids::kVersionQuery, Button, "Version?", 187, 142, 37, 11},
    {ids::kSettingsQuery, Button, "Settings?", 226, 142, 38, 11},
    {ids::kEnterIsp, Button, "Enter ISP", 266, 142, 37, 11},
    {ids::kExitIsp, Button, "Exit ISP", 305, 142, 37, 11},

    {ids::kConsole, Console, "", 187, 154, 287, 67},

    // Restarts and the status line.
    {kNoId, GroupBox, "", 187, 219, 176, 21},
    {ids::kFactory, Button, "Factory", 190, 225, 41, 12},
    {ids::kHotStart, Button, "Hot Start", 233, 225, 41, 12},
    {ids::kWarmStart, Button, "Warm Start", 276, 225, 41, 12},
    {ids::kColdStart, Button, "Cold Start", 319, 225, 41, 12},
    {kNoId, GroupBox, "", 187, 237, 176, 15},
    {ids::kStatus, Label, "", 190, 243, 170, 9, kNoWrap},

    // Middle button column.
    {ids::kStartStopLog, Button, "Start Log", 322, 31, 41, 14},
    {ids::kSetNmea, Button, "Set NMEA", 322, 52, 41, 14},
    {ids::kDatum, Button, "Datum", 322, 73, 41, 14},
    {ids::kLowPower, Button, "Low Power", 322, 94, 41, 13},

    // Right button column.
    {ids::kSetBaud, Button, "Set Baud", 368, 6, 41, 14},
    {ids::kEcefInit, Button, "PVLX101", 368, 31, 37, 12},
    {ids::kLatLonInit, Button, "PVLX104", 368, 45, 37, 12},
    {ids::kMsgMode, Button, "PVLX107", 368, 58, 37, 12},
    {ids::kNavSettings, Button, "PVLX110", 368, 72, 37, 12},
    {ids::kReset, Button, "PVLX111", 368, 85, 37, 12},
    {ids::kFixExtraction, Button, "PVLX113", 368, 98, 37, 12},
    {ids::kPvlx300, Button, "PVLX300", 368, 112, 37, 12},
    {ids::kClose, Button, "Close", 368, 132, 41, 14},

    {kNoId, Bitmap, kLogoBitmap, 329, 6, 25, 19},
});

constexpr std::array kAboutControls = std::to_array<ControlTemplate>({
    {kNoId, Icon, kAppIconResource, 10, 10, 21, 20},
    {kNoId, Label, "gpsdesk Version " GPSDESK_VERSION, 40, 10, 104, 9, kNoWrap},
    {kNoId, Label, "NMEA receiver monitor", 40, 24, 104, 9, kNoWrap},
    {kIdOk, DefaultButton, "OK", 152, 8, 38, 14},
});

constexpr DialogTemplate kMain{ids::kMainTemplate, "gpsdesk", 485, 256, kMainControls};
constexpr DialogTemplate kAbout{ids::kAboutTemplate, "About gpsdesk", 200, 40, kAboutControls};

}  // namespace

const DialogTemplate& MainTemplate() { return kMain; }
const DialogTemplate& AboutTemplate() { return kAbout; }

}  // namespace tmpl
