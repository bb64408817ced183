#include "dialogs/sentences.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "dialogs/datum_catalogue.h"
#include "dialogs/field_text.h"
#include "dialogs/list_items.h"
#include "nmea/sentence.h"

namespace dialogs {

namespace {

// A list position, brought into the list's range.
template <typename T, std::size_t N>
int PositionIn(const std::array<T, N>& /*items*/, int position) {
  return std::clamp(position, 0, static_cast<int>(N) - 1);
}

template <typename T, std::size_t N>
const T& ItemAt(const std::array<T, N>& items, int position) {
  return items[static_cast<std::size_t>(PositionIn(items, position))];
}

// Appends a typed text as a field value.
void AppendText(std::string& sentence, std::string_view text) { sentence += StripControlBytes(text); }

std::string Finished(std::string sentence) {
  nmea::AppendChecksum(sentence);
  return sentence;
}

}  // namespace

std::string PreviewText(std::string_view sentence) {
  std::string preview(sentence);
  preview += "<CR><LF>";
  return preview;
}

NmeaOutputSentences BuildNmeaOutputSentences(const NmeaOutputSettings& settings) {
  NmeaOutputSentences out;
  std::string enable = "$PVLRX108";
  std::string rate = "$PVLRX103";
  const int count = std::clamp(settings.selectedCount, 0, kNmeaMessageCount);
  for (int i = 0; i < count; ++i) {
    const int message = settings.selected[static_cast<std::size_t>(i)];
    if (message < 0 || message >= kNmeaMessageCount) continue;  // not a message of the table
    const std::string_view name = kNmeaMessageNames[static_cast<std::size_t>(message)];
    const std::string value = std::to_string(
        std::clamp(settings.rates[static_cast<std::size_t>(message)], kMinNmeaRate, kMaxNmeaRate));
    out.summary.append(name).append("-").append(value).append(" ");
    enable.append(",").append(name);
    rate.append(",").append(name).append(",").append(value);
  }
  out.enableSentence = Finished(std::move(enable));
  out.rateSentence = Finished(std::move(rate));
  return out;
}

std::string NmeaOutputPreview(const NmeaOutputSentences& sentences) {
  return PreviewText(sentences.enableSentence) + "\n" + PreviewText(sentences.rateSentence);
}

bool SelectNmeaMessage(NmeaOutputSettings& settings, int message) {
  if (message < 0 || message >= kNmeaMessageCount) return false;
  const int count = std::clamp(settings.selectedCount, 0, kNmeaMessageCount);
  if (count == kNmeaMessageCount) return false;
  const auto chosen = settings.selected.begin() + count;
  if (std::find(settings.selected.begin(), chosen, message) != chosen) return false;
  settings.selected[static_cast<std::size_t>(count)] = message;
  settings.selectedCount = count + 1;
  return true;
}

std::string BuildUartSentence(const UartSettings& settings) {
  std::string s = "$PVLRX100,";
  s += std::to_string(PositionIn(kProtocolItems, settings.protocolIndex)) + ",";
  s += std::to_string(UartBaudRate(settings.baudIndex)) + ",";
  s += "0";  // the receiver's third field; the parity choice is never sent
  return Finished(std::move(s));
}

int UartBaudRate(int baudIndex) { return ItemAt(kBaudRates, baudIndex); }

std::string BuildLowPowerSentence(const LowPowerSettings& settings) {
  const int mode = PositionIn(kOperatingModeItems, settings.modeIndex);
  std::string s = "$PVLRX112,";
  s += std::to_string(mode) + ",";
  // The OFF period applies to "LDCM1" only; "full active" always sends 0.
  s += std::to_string(mode == 1 ? PositionIn(kOffPeriodItems, settings.offPeriodIndex) : 0);
  return Finished(std::move(s));
}

std::string BuildEcefInitSentence(const EcefInitSettings& settings) {
  std::string s = "$PVLRX101,";
  for (const std::string* text :
       {&settings.x, &settings.y, &settings.z, &settings.clock, &settings.time, &settings.week}) {
    AppendText(s, *text);
    s += ",";
  }
  s += std::to_string(PositionIn(kChannelItems, settings.channelIndex) + 8) + ",";
  s += std::to_string(ItemAt(kResetModeCodes, settings.resetIndex)) + ",";
  return Finished(std::move(s));
}

std::string BuildLatLonInitSentence(const LatLonInitSettings& settings) {
  std::string s = "$PVLRX104,";
  AppendText(s, settings.latitude);
  s.append(",").append(ItemAt(kNorthSouthItems, settings.northSouthIndex)).append(",");
  AppendText(s, settings.longitude);
  s.append(",").append(ItemAt(kEastWestItems, settings.eastWestIndex)).append(",");
  // The receiver takes the altitude before the clock offset.
  for (const std::string* text :
       {&settings.altitude, &settings.clockOffset, &settings.timeOfWeek, &settings.weekNumber}) {
    AppendText(s, *text);
    s += ",";
  }
  s.append(ItemAt(kChannelItems, settings.channelIndex)).append(",");
  return Finished(std::move(s));
}

bool IsUserDefinedDatumRow(int row) { return DatumCatalogue::Datum(row).number == UserDefinedDatumNumber; }

DatumFieldTexts DatumFieldTextsOf(int row) {
  const DatumEntry& datum = DatumCatalogue::Datum(row);
  const EllipsoidEntry& ellipsoid = DatumCatalogue::EllipsoidOf(datum);
  return {std::to_string(datum.dx), std::to_string(datum.dy), std::to_string(datum.dz),
          std::to_string(ellipsoid.inverseFlatteningCode), std::to_string(ellipsoid.semiMajorAxisCode)};
}

std::string BuildDatumSentence(int row, const DatumFieldTexts& userValues) {
  std::string s = "$PVLRX106,";
  s += std::to_string(DatumCatalogue::Datum(row).number);
  if (IsUserDefinedDatumRow(row)) {
    for (const std::string* text : {&userValues.dx, &userValues.dy, &userValues.dz,
                                    &userValues.inverseFlattening, &userValues.semiMajorAxis}) {
      s += ",";
      AppendText(s, *text);
    }
  } else {
    s += ",,,,,";  // the receiver knows a catalogue datum by its number alone
  }
  return Finished(std::move(s));
}

std::string BuildMsgModeSentence(const MsgModeSettings& settings) {
  const int message = PositionIn(kMsgModeMessageItems, settings.messageIndex);
  std::string s = "$PVLRX107,";
  s += message > 4 ? std::string("ALL") : std::to_string(300 + message);
  s += ",";
  s += std::to_string(PositionIn(kMsgModeModeItems, settings.modeIndex));
  return Finished(std::move(s));
}

std::string BuildNavSentence(const NavSettings& settings) {
  // Parameter numbers 0 to 7, each followed by its value.
  std::string s = "$PVLRX110,0,";
  AppendText(s, settings.elevation);
  s += ",1,";
  AppendText(s, settings.minSnr);
  s += ",2,";
  AppendText(s, settings.maxDop);
  s += ",3,";
  AppendText(s, settings.localTime);
  s += ",4,";
  AppendText(s, settings.maxAltitude);
  s += ",5," + std::to_string(PositionIn(kAltitudeModeItems, settings.altitudeModeIndex));
  s += ",6,";
  AppendText(s, settings.altitude2D);
  s += ",7," + std::to_string(PositionIn(kNavigationItems, settings.navigationIndex));
  return Finished(std::move(s));
}

std::string BuildResetSentence(const ResetSettings& settings) {
  std::string s = "$PVLRX111,";
  if (settings.binaryFormat) {
    s += std::to_string(settings.flags & 0xFF);
  } else {
    s += ItemAt(kStartModeItems, settings.startModeIndex);
  }
  return Finished(std::move(s));
}

std::string BuildFixSentence(const FixSettings& settings) {
  std::string s = "$PVLRX113,";
  s += std::to_string(PositionIn(kFixItems, settings.fixIndex)) + ",";
  s += std::to_string(PositionIn(kFixItems, settings.extractionIndex));
  return Finished(std::move(s));
}

}  // namespace dialogs
