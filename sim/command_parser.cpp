#include "sim/command_parser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "nmea/sentence.h"

namespace sim {
namespace {

constexpr std::string_view kHead = "$PVLRX";
constexpr std::array<std::uint32_t, 8> kBauds{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

std::vector<std::string_view> Split(std::string_view fields) {
  std::vector<std::string_view> out;
  if (fields.empty()) return out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = fields.find(',', start);
    out.push_back(fields.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return out;
}

// A decimal integer filling the whole text.
bool ReadInt(std::string_view text, long& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void Reject(Command& c, std::string problem) {
  c.kind = CommandKind::Rejected;
  c.problem = std::move(problem);
}

void ParseUart(Command& c, const std::vector<std::string_view>& f) {
  long protocol = 0, baud = 0;
  if (f.size() < 2 || !ReadInt(f[0], protocol) || !ReadInt(f[1], baud))
    return Reject(c, "protocol,baud expected");
  if (protocol != 0 && protocol != 1) return Reject(c, "protocol must be 0 or 1");
  if (baud <= 0 || !IsSupportedBaud(static_cast<std::uint32_t>(baud)))
    return Reject(c, "unsupported baud rate");
  c.kind = CommandKind::SetUart;
  c.protocol = static_cast<int>(protocol);
  c.baud = static_cast<std::uint32_t>(baud);
}

void ParseRates(Command& c, const std::vector<std::string_view>& f) {
  if (f.size() % 2 != 0) return Reject(c, "message,rate pairs expected");
  for (std::size_t i = 0; i < f.size(); i += 2) {
    const auto message = MessageByName(f[i]);
    long rate = 0;
    if (!message) return Reject(c, "unknown message " + std::string(f[i]));
    if (!ReadInt(f[i + 1], rate) || rate < kMinMessageRate || rate > kMaxMessageRate) {
      return Reject(c, "rate must be 1 to 10");
    }
    c.rates.emplace_back(*message, static_cast<int>(rate));
  }
  c.kind = CommandKind::SetRates;
}

void ParseSelection(Command& c, const std::vector<std::string_view>& f) {
  for (std::string_view name : f) {
    const auto message = MessageByName(name);
    if (!message) return Reject(c, "unknown message " + std::string(name));
    if (std::find(c.messages.begin(), c.messages.end(), *message) == c.messages.end()) {
      c.messages.push_back(*message);
    }
  }
  c.kind = CommandKind::SelectMessages;
}

void ParseReset(Command& c, const std::vector<std::string_view>& f) {
  if (f.size() != 1) return Reject(c, "one restart field expected");
  long bits = 0;
  if (ReadInt(f[0], bits)) {
    if (bits < 0 || bits > 255) return Reject(c, "restart bits must be 0 to 255");
    c.restart = RestartOfBits(static_cast<int>(bits));
    c.reloadSettings = (bits & 1) != 0;
  } else {
    std::string lower(f[0]);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char ch) { return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch); });
    const auto kind = RestartByName(lower);
    if (!kind) return Reject(c, "unknown start mode " + std::string(f[0]));
    c.restart = *kind;
  }
  c.kind = CommandKind::Restart;
}

void ParseEcefInit(Command& c, const std::vector<std::string_view>& f) {
  // Eight fields, each followed by a comma: the last split piece is empty.
  if (f.size() < 8) return Reject(c, "eight fields expected");
  long channels = 0, code = 0;
  if (!ReadInt(f[6], channels) || channels < 8 || channels > 16) return Reject(c, "channels must be 8 to 16");
  if (!ReadInt(f[7], code)) return Reject(c, "restart code expected");
  switch (code) {
    case 1:
      c.restart = RestartKind::Hot;
      break;
    case 2:
    case 3:
      c.restart = RestartKind::Warm;
      break;
    case 4:
      c.restart = RestartKind::Cold;
      break;
    case 8:
      c.restart = RestartKind::Factory;
      break;
    default:
      return Reject(c, "restart code must be 1, 2, 3, 4 or 8");
  }
  c.channels = static_cast<int>(channels);
  c.kind = CommandKind::Restart;
}

using FieldParser = void (*)(Command&, const std::vector<std::string_view>&);

struct Handler {
  int number;
  FieldParser parse;
};

void Version(Command& c, const std::vector<std::string_view>&) { c.kind = CommandKind::VersionQuery; }
void Settings(Command& c, const std::vector<std::string_view>&) { c.kind = CommandKind::SettingsQuery; }
void Isp(Command& c, const std::vector<std::string_view>&) { c.kind = CommandKind::EnterIsp; }

constexpr Handler kHandlers[] = {
    {100, ParseUart},  {101, ParseEcefInit}, {103, ParseRates}, {108, ParseSelection},
    {111, ParseReset}, {600, Version},       {601, Isp},        {603, Settings},
};

}  // namespace

bool IsSupportedBaud(std::uint32_t baud) {
  return std::find(kBauds.begin(), kBauds.end(), baud) != kBauds.end();
}

RestartKind RestartOfBits(int bits) {
  const bool almanac = bits & 2, ephemeris = bits & 4, position = bits & 16, time = bits & 32;
  if (almanac) return RestartKind::Factory;
  if (ephemeris) return position || time ? RestartKind::Cold : RestartKind::Warm;
  if (position || time) return RestartKind::Warm;
  return RestartKind::Hot;
}

Command ParseCommand(std::string_view line) {
  Command c;
  const bool digits = line.size() >= kHead.size() + 3 &&
                      std::all_of(line.begin() + kHead.size(), line.begin() + kHead.size() + 3,
                                  [](char ch) { return ch >= '0' && ch <= '9'; });
  const std::size_t afterNumber = kHead.size() + 3;
  if (line.substr(0, kHead.size()) != kHead || !digits ||
      (line.size() > afterNumber && line[afterNumber] != ',' && line[afterNumber] != '*')) {
    c.problem = "not a $PVLRX sentence";
    return c;
  }
  c.number = (line[6] - '0') * 100 + (line[7] - '0') * 10 + (line[8] - '0');

  const std::size_t star = line.rfind('*');
  if (star == std::string_view::npos || star + 3 != line.size() || HexDigit(line[star + 1]) < 0 ||
      HexDigit(line[star + 2]) < 0) {
    c.kind = CommandKind::BadChecksum;
    c.problem = "no checksum";
    return c;
  }
  const int sent = HexDigit(line[star + 1]) * 16 + HexDigit(line[star + 2]);
  const int actual = nmea::ChecksumOf(line.substr(0, star));
  if (sent != actual) {
    c.kind = CommandKind::BadChecksum;
    char buf[48];
    std::snprintf(buf, sizeof buf, "checksum %02X, should be %02X", sent, actual);
    c.problem = buf;
    return c;
  }

  if (star > afterNumber) c.fields = std::string(line.substr(afterNumber + 1, star - afterNumber - 1));
  const std::vector<std::string_view> fields = Split(c.fields);
  for (const Handler& h : kHandlers) {
    if (h.number == c.number) {
      h.parse(c, fields);
      return c;
    }
  }
  c.kind = CommandKind::Accepted;
  return c;
}

}  // namespace sim
