#include "dialogs/sentences.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/datum_catalogue.h"
#include "nmea/sentence.h"

namespace dialogs {
namespace {

using nmea::FieldAt;

// The fields of a built sentence as the receiver would split them, head first;
// an empty field reads as "0".
std::vector<std::string> FieldsOf(const std::string& sentence) {
  const std::size_t star = sentence.find('*');
  const int count = 1 + static_cast<int>(std::count(sentence.begin(), sentence.begin() + star, ','));
  std::vector<std::string> fields;
  for (int n = 1; n <= count; ++n) fields.push_back(FieldAt(sentence, n));
  return fields;
}

std::string WithChecksum(std::string s) {
  nmea::AppendChecksum(s);
  return s;
}

bool HasControlByte(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

TEST(Preview, EndsWithVisibleLineEnd) {
  EXPECT_EQ(PreviewText("$PVLRX113,0,0*73"), "$PVLRX113,0,0*73<CR><LF>");
}

// --- NMEA output rates

TEST(NmeaOutput, InitialSelection) {
  const NmeaOutputSentences s = BuildNmeaOutputSentences({});
  EXPECT_EQ(s.summary, "GGA-1 GSA-1 GSV-1 RMC-1 ");
  EXPECT_EQ(s.enableSentence, "$PVLRX108,GGA,GSA,GSV,RMC*73");
  EXPECT_EQ(s.rateSentence, "$PVLRX103,GGA,1,GSA,1,GSV,1,RMC,1*78");
  EXPECT_EQ(NmeaOutputPreview(s),
            "$PVLRX108,GGA,GSA,GSV,RMC*73<CR><LF>\n$PVLRX103,GGA,1,GSA,1,GSV,1,RMC,1*78<CR><LF>");
}

TEST(NmeaOutput, EmptySelectionSendsNoFields) {
  NmeaOutputSettings settings;
  settings.selectedCount = 0;
  const NmeaOutputSentences s = BuildNmeaOutputSentences(settings);
  EXPECT_EQ(s.summary, "");
  EXPECT_EQ(s.enableSentence, "$PVLRX108*79");
  EXPECT_EQ(s.rateSentence, "$PVLRX103*72");
}

TEST(NmeaOutput, SelectionKeepsClickOrderAndNoRepeats) {
  NmeaOutputSettings settings;
  settings.selectedCount = 0;
  EXPECT_TRUE(SelectNmeaMessage(settings, 5));  // VTG
  EXPECT_TRUE(SelectNmeaMessage(settings, 0));  // GGA
  EXPECT_FALSE(SelectNmeaMessage(settings, 5));
  EXPECT_EQ(BuildNmeaOutputSentences(settings).enableSentence, "$PVLRX108,VTG,GGA*7D");

  NmeaOutputSettings initial;
  EXPECT_FALSE(SelectNmeaMessage(initial, 3));  // GSV is already chosen
  EXPECT_EQ(initial.selectedCount, 4);
}

TEST(NmeaOutput, SelectionHoldsAtMostSevenMessages) {
  NmeaOutputSettings settings;
  for (int m : {6, 5, 1}) EXPECT_TRUE(SelectNmeaMessage(settings, m));
  EXPECT_EQ(settings.selectedCount, 7);
  EXPECT_FALSE(SelectNmeaMessage(settings, 0));
  EXPECT_FALSE(SelectNmeaMessage(settings, 7));  // no such message
  EXPECT_EQ(BuildNmeaOutputSentences(settings).enableSentence,
            WithChecksum("$PVLRX108,GGA,GSA,GSV,RMC,ZDA,VTG,GLL"));
}

TEST(NmeaOutput, RatesFollowTheMessageNotThePosition) {
  NmeaOutputSettings settings;
  settings.rates[4] = 5;  // RMC, selected
  settings.rates[5] = 7;  // VTG, not selected
  NmeaOutputSentences s = BuildNmeaOutputSentences(settings);
  EXPECT_EQ(s.rateSentence, WithChecksum("$PVLRX103,GGA,1,GSA,1,GSV,1,RMC,5"));
  EXPECT_EQ(s.enableSentence, "$PVLRX108,GGA,GSA,GSV,RMC*73");
  EXPECT_EQ(s.summary, "GGA-1 GSA-1 GSV-1 RMC-5 ");

  SelectNmeaMessage(settings, 5);
  s = BuildNmeaOutputSentences(settings);
  EXPECT_EQ(FieldsOf(s.rateSentence), (std::vector<std::string>{"$PVLRX103", "GGA", "1", "GSA", "1", "GSV",
                                                                "1", "RMC", "5", "VTG", "7"}));
}

// --- UART

TEST(Uart, Sentences) {
  EXPECT_EQ(BuildUartSentence({}), "$PVLRX100,0,9600,0*52");
  EXPECT_EQ(BuildUartSentence({.protocolIndex = 1, .baudIndex = 6}), "$PVLRX100,1,57600,0*68");
  // The hidden parity list never reaches the receiver.
  EXPECT_EQ(BuildUartSentence({.parityIndex = 2}), "$PVLRX100,0,9600,0*52");
  EXPECT_EQ(UartBaudRate(0), 1200);
  EXPECT_EQ(UartBaudRate(2), 4800);
  EXPECT_EQ(UartBaudRate(6), 57600);
}

// --- Low power

TEST(LowPower, OffPeriodCountsOnlyInLdcm1) {
  EXPECT_EQ(BuildLowPowerSentence({}), "$PVLRX112,0,0*72");  // "full active", list still showing 1
  EXPECT_EQ(BuildLowPowerSentence({.modeIndex = 1}), "$PVLRX112,1,1*72");
  EXPECT_EQ(BuildLowPowerSentence({.modeIndex = 1, .offPeriodIndex = 9}), "$PVLRX112,1,9*7A");
  EXPECT_EQ(BuildLowPowerSentence({.modeIndex = 0, .offPeriodIndex = 9}), "$PVLRX112,0,0*72");
}

// --- ECEF position initialisation

TEST(EcefInit, ChannelAndResetCodes) {
  const int expectedCodes[] = {1, 2, 3, 4, 8};  // "Factory Reset" is 8, not 5
  for (int position = 0; position < 5; ++position) {
    EcefInitSettings settings;
    settings.resetIndex = position;
    EXPECT_EQ(FieldAt(BuildEcefInitSentence(settings), 9), std::to_string(expectedCodes[position]));
  }
  EcefInitSettings settings;
  settings.channelIndex = 0;
  EXPECT_EQ(FieldAt(BuildEcefInitSentence(settings), 8), "8");
  settings.channelIndex = 8;
  EXPECT_EQ(FieldAt(BuildEcefInitSentence(settings), 8), "16");
}

TEST(EcefInit, EmptyEditsGiveEmptyFields) {
  EXPECT_EQ(BuildEcefInitSentence({"", "", "", "", "", "", 4, 0}), "$PVLRX101,,,,,,,12,1,*6E");
}

// --- Latitude/longitude position initialisation

TEST(LatLonInit, FieldsRoundTripInSentenceOrder) {
  LatLonInitSettings settings;
  settings.northSouthIndex = 1;
  settings.eastWestIndex = 1;
  settings.altitude = "120.5";
  settings.clockOffset = "95000";
  settings.timeOfWeek = "388800";
  settings.weekNumber = "1234";
  settings.channelIndex = 8;
  EXPECT_EQ(FieldsOf(BuildLatLonInitSentence(settings)),
            (std::vector<std::string>{"$PVLRX104", "25", "00.0000", "S", "121", "00.0000", "W", "120.5",
                                      "95000", "388800", "1234", "16", "0"}));
}

TEST(LatLonInit, LatitudeWithoutCommaMakesOneFieldFewer) {
  LatLonInitSettings settings;
  settings.latitude = "25.5";
  const std::vector<std::string> fields = FieldsOf(BuildLatLonInitSentence(settings));
  EXPECT_EQ(fields.size(), FieldsOf(BuildLatLonInitSentence({})).size() - 1);
  EXPECT_EQ(fields[1], "25.5");
  EXPECT_EQ(fields[2], "N");
}

// --- Datum

TEST(Datum, CatalogueRowsSendTheirNumberAlone) {
  const DatumFieldTexts ignored{"1", "2", "3", "4", "5"};
  EXPECT_EQ(BuildDatumSentence(kDefaultDatumRow, ignored), "$PVLRX106,216,,,,,*42");
  EXPECT_EQ(BuildDatumSentence(0, ignored), "$PVLRX106,0,,,,,*47");
  EXPECT_FALSE(IsUserDefinedDatumRow(kDefaultDatumRow));
  EXPECT_TRUE(IsUserDefinedDatumRow(DatumCatalogue::kUserDefinedRow));
}

TEST(Datum, FieldTextsOfCatalogueRows) {
  EXPECT_EQ(DatumFieldTextsOf(216), (DatumFieldTexts{"0", "0", "0", "8257224", "8137000"}));
  EXPECT_EQ(DatumFieldTextsOf(0), (DatumFieldTexts{"-118", "-14", "218", "3465000", "8249145"}));
  EXPECT_EQ(DatumFieldTextsOf(96), (DatumFieldTexts{"0", "0", "0", "8257222", "8137000"}));
  EXPECT_EQ(DatumFieldTextsOf(97), (DatumFieldTexts{"647", "1777", "-1124", "7000000", "8388000"}));
}

TEST(Datum, UserDefinedSendsTheFiveTexts) {
  const int row = DatumCatalogue::kUserDefinedRow;
  // Switching from row 216 keeps its values in the fields.
  EXPECT_EQ(BuildDatumSentence(row, DatumFieldTextsOf(216)), "$PVLRX106,500,0,0,0,8257224,8137000*73");
  // Reopened after sending the user-defined datum: the fields start empty.
  EXPECT_EQ(BuildDatumSentence(row, {}), "$PVLRX106,500,,,,,*42");
  // A comma typed into a field adds a field; the text is not examined.
  const std::string s = BuildDatumSentence(row, {"1,5", "-2", "3", "x", ""});
  EXPECT_EQ(s, WithChecksum("$PVLRX106,500,1,5,-2,3,x,"));
  EXPECT_EQ(FieldsOf(s).size(), 8u);
}

// --- Message modes

TEST(MsgMode, Sentences) {
  EXPECT_EQ(BuildMsgModeSentence({}), "$PVLRX107,300,0*75");
  EXPECT_EQ(BuildMsgModeSentence({.messageIndex = 5, .modeIndex = 3}), "$PVLRX107,ALL,3*04");
  EXPECT_EQ(FieldAt(BuildMsgModeSentence({.messageIndex = 4}), 2), "304");
  EXPECT_EQ(FieldAt(BuildMsgModeSentence({.messageIndex = 5}), 2), "ALL");  // never 305
}

// --- Navigation settings

TEST(Nav, EmptyElevationSendsAnEmptyValue) {
  NavSettings settings;
  settings.elevation = "";
  EXPECT_EQ(BuildNavSentence(settings).rfind("$PVLRX110,0,,1,20,", 0), 0u);
}

// --- Reset

TEST(Reset, KeywordForm) {
  EXPECT_EQ(BuildResetSentence({}), "$PVLRX111,FACTORY*09");
  EXPECT_EQ(BuildResetSentence({.startModeIndex = 1}), "$PVLRX111,HOT*0E");
  EXPECT_EQ(FieldAt(BuildResetSentence({.startModeIndex = 3}), 2), "COLD");
  // Bits ticked earlier stay out of the sentence while "Binary Format" is clear.
  EXPECT_EQ(BuildResetSentence({.flags = 6, .startModeIndex = 2}), WithChecksum("$PVLRX111,WARM"));
}

TEST(Reset, BinaryForm) {
  EXPECT_EQ(BuildResetSentence({.flags = 6, .binaryFormat = true}), "$PVLRX111,6*6B");
  EXPECT_EQ(FieldAt(BuildResetSentence({.flags = 0, .binaryFormat = true}), 2), "0");
  EXPECT_EQ(FieldAt(BuildResetSentence({.flags = 255, .binaryFormat = true}), 2), "255");
  EXPECT_EQ(FieldAt(BuildResetSentence({.flags = 128, .binaryFormat = true}), 2), "128");
  // Only eight restart bits exist.
  EXPECT_EQ(FieldAt(BuildResetSentence({.flags = 256 + 6, .binaryFormat = true}), 2), "6");
  EXPECT_EQ(FieldAt(BuildResetSentence({.flags = -1, .binaryFormat = true}), 2), "255");
}

// --- Fix and extraction

TEST(Fix, Sentences) {
  EXPECT_EQ(BuildFixSentence({}), "$PVLRX113,0,0*73");
  EXPECT_EQ(BuildFixSentence({.fixIndex = 1}), "$PVLRX113,1,0*72");
  EXPECT_EQ(BuildFixSentence({.fixIndex = 1, .extractionIndex = 1}), "$PVLRX113,1,1*73");
}

// --- Every dialog from the main window's initial records

TEST(InitialRecords, BuildTheFirstOpeningSentences) {
  const DialogSettings records;
  EXPECT_EQ(records.lastDatumRow, 216);
  EXPECT_EQ(BuildNmeaOutputSentences(records.nmeaOutput).enableSentence, "$PVLRX108,GGA,GSA,GSV,RMC*73");
  EXPECT_EQ(BuildUartSentence(records.uart), "$PVLRX100,0,9600,0*52");
  EXPECT_EQ(BuildEcefInitSentence(records.ecefInit), "$PVLRX101,0,0,0,0,0,0,12,1,*6E");
  EXPECT_EQ(BuildDatumSentence(records.lastDatumRow, {}), "$PVLRX106,216,,,,,*42");
  EXPECT_EQ(BuildNavSentence(records.nav), "$PVLRX110,0,0,1,20,2,40,3,0,4,10000,5,0,6,0,7,0*77");
  EXPECT_EQ(BuildFixSentence(records.fix), "$PVLRX113,0,0*73");
  EXPECT_EQ(BuildLowPowerSentence(records.lowPower), "$PVLRX112,0,0*72");
  EXPECT_EQ(BuildLatLonInitSentence(records.latLonInit),
            "$PVLRX104,25,00.0000,N,121,00.0000,E,0,0,0,0,12,*48");
  EXPECT_EQ(BuildMsgModeSentence(records.msgMode), "$PVLRX107,300,0*75");
  EXPECT_EQ(BuildResetSentence(records.reset), "$PVLRX111,FACTORY*09");
}

// --- Text that would break the line on the wire

TEST(ControlCharacters, NeverReachASentence) {
  // A CR LF inside a field would end the sentence and send a second command.
  const std::string smuggled = "1\r\n$PVLRX111,FACTORY*09\r\n";
  const std::string all_controls = std::string(
      "a\0b\tc\x1b\x7f"
      "d",
      8);

  EcefInitSettings ecef;
  ecef.x = smuggled;
  ecef.week = all_controls;
  LatLonInitSettings latLon;
  latLon.latitude = smuggled;
  latLon.weekNumber = all_controls;
  NavSettings nav;
  nav.elevation = smuggled;
  nav.altitude2D = all_controls;
  const std::string datum =
      BuildDatumSentence(DatumCatalogue::kUserDefinedRow, {smuggled, all_controls, "", "", ""});

  for (const std::string& s :
       {BuildEcefInitSentence(ecef), BuildLatLonInitSentence(latLon), BuildNavSentence(nav), datum}) {
    EXPECT_FALSE(HasControlByte(s)) << s;
  }
  // What remains goes in as typed: commas, "$" and "*" included.
  EXPECT_EQ(FieldAt(BuildEcefInitSentence(ecef), 2), "1$PVLRX111");
  EXPECT_EQ(FieldAt(BuildEcefInitSentence(ecef), 3), "FACTORY*09");
  EXPECT_EQ(FieldAt(datum, 5), "abcd");  // dx filled fields 3 and 4
}

TEST(ControlCharacters, EightBitTextPassesUnchanged) {
  NavSettings nav;
  nav.localTime = "\xb0 +8";  // degree sign in ISO 8859-1
  EXPECT_EQ(FieldAt(BuildNavSentence(nav), 9), "\xb0 +8");
}

// --- Positions outside their lists

TEST(OutOfRange, PositionsTakeTheNearestItem) {
  EXPECT_EQ(BuildUartSentence({.protocolIndex = 9, .baudIndex = 99}), "$PVLRX100,1,57600,0*68");
  EXPECT_EQ(BuildUartSentence({.protocolIndex = -1, .baudIndex = -5}), WithChecksum("$PVLRX100,0,1200,0"));
  EXPECT_EQ(BuildMsgModeSentence({.messageIndex = -3, .modeIndex = 17}), WithChecksum("$PVLRX107,300,3"));
  EXPECT_EQ(BuildResetSentence({.startModeIndex = 12}), WithChecksum("$PVLRX111,COLD"));
  EXPECT_EQ(BuildDatumSentence(1000, {}), "$PVLRX106,500,,,,,*42");
  EXPECT_EQ(BuildDatumSentence(-1, {}), "$PVLRX106,0,,,,,*47");

  NmeaOutputSettings nmea;
  nmea.selectedCount = 40;
  nmea.selected = {0, -1, 9, 4, 4, 2, 6};
  nmea.rates = {0, 1, 1, 1, 99, 1, 1};
  EXPECT_EQ(BuildNmeaOutputSentences(nmea).rateSentence,
            WithChecksum("$PVLRX103,GGA,1,RMC,10,RMC,10,GSA,1,ZDA,1"));
  nmea.selectedCount = -2;
  EXPECT_EQ(BuildNmeaOutputSentences(nmea).enableSentence, "$PVLRX108*79");
  EXPECT_TRUE(SelectNmeaMessage(nmea, 1));
  EXPECT_EQ(nmea.selectedCount, 1);
}

}  // namespace
}  // namespace dialogs
