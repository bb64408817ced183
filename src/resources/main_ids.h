#pragma once
// Control identifiers of the main window (template 102). Every part of the
// program, and every test, addresses the main window's controls by these.

namespace ids {

inline constexpr int kMainTemplate = 102;
inline constexpr int kAboutTemplate = 100;
inline constexpr int kAboutCommand = 16;  // system-menu entry of the About box
inline constexpr int kAppIcon = 128;

inline constexpr int kClose = 1;
inline constexpr int kOpenClose = 1003;
inline constexpr int kComSetup = 1004;
inline constexpr int kSourceLabel = 1007;
inline constexpr int kStatus = 1008;
inline constexpr int kSetBaud = 1009;
inline constexpr int kEcefInit = 1010;
inline constexpr int kDatum = 1012;
inline constexpr int kMsgMode = 1013;
inline constexpr int kSetNmea = 1014;
inline constexpr int kNavSettings = 1015;
inline constexpr int kReset = 1016;
inline constexpr int kLowPower = 1017;
inline constexpr int kFixExtraction = 1018;
inline constexpr int kPvlx300 = 1019;
inline constexpr int kEnterIsp = 1020;
inline constexpr int kLatLonInit = 1021;
inline constexpr int kFactory = 1022;
inline constexpr int kHotStart = 1023;
inline constexpr int kConsole = 1024;
inline constexpr int kWarmStart = 1025;
inline constexpr int kColdStart = 1026;
inline constexpr int kVersionQuery = 1027;
inline constexpr int kSettingsQuery = 1028;
inline constexpr int kExitIsp = 1029;
inline constexpr int kReplaySpeed = 1061;
inline constexpr int kLongitudeDeg = 1079;
inline constexpr int kLatitudeDeg = 1080;
inline constexpr int kPdop = 1085;
inline constexpr int kHdop = 1086;
inline constexpr int kVdop = 1087;
inline constexpr int kSvsInView = 1088;
inline constexpr int kSvsInUse = 1089;
inline constexpr int kFix = 1090;
inline constexpr int kUtc = 1091;
inline constexpr int kVersion = 1092;
inline constexpr int kTtff = 1093;
inline constexpr int kTtffStart = 1094;
inline constexpr int kAltitude = 1095;
inline constexpr int kSpeed = 1096;
inline constexpr int kCourse = 1097;
inline constexpr int kStartStopLog = 1098;
inline constexpr int kLatitudeMin = 1099;
inline constexpr int kStopwatch = 1100;
inline constexpr int kStopwatchStart = 1101;
inline constexpr int kLongitudeMin = 1102;
inline constexpr int kFileLabel = 1109;
inline constexpr int kNmeaFile = 1106;
inline constexpr int kSkyFrame = 1112;
inline constexpr int kOriginFrame = 1113;
inline constexpr int kChartFrame = 1114;

}  // namespace ids
