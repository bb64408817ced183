#pragma once
// What a line received from the tool asks of the receiver. The receiver
// takes "$PVLRX" followed by a three-digit number, fields after commas, and
// a "*hh" checksum that must be right; anything else is ignored.
//
//   100  protocol (0 NMEA, 1 binary), baud rate, one more field: line settings
//   101  ECEF x, y, z, clock, time, week, channels (8-16), restart code:
//        1 hot, 2 warm, 3 warm with init, 4 cold, 8 factory
//   103  pairs of message name and rate (1-10)
//   108  message names in output order; none: no output
//   111  FACTORY, HOT, WARM, COLD, or the restart bits 0-255
//   600  version query; 601 entry to in-system programming; 603 settings query
//   any other number: accepted as it is

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/receiver_model.h"

namespace sim {

enum class CommandKind {
  NotOurs,         // not a "$PVLRX" + three digits sentence
  BadChecksum,     // "*hh" missing or wrong
  Rejected,        // a known sentence with fields the receiver cannot use
  VersionQuery,    // 600
  SettingsQuery,   // 603
  EnterIsp,        // 601
  SetUart,         // 100
  SetRates,        // 103
  SelectMessages,  // 108
  Restart,         // 111, 101
  Accepted,        // any other number
};

struct Command {
  CommandKind kind = CommandKind::NotOurs;
  int number = -1;      // the sentence number, when the head is one of ours
  std::string fields;   // everything between the head's comma and the "*"
  std::string problem;  // why it was ignored or rejected

  // SetUart
  int protocol = 0;
  std::uint32_t baud = 0;
  // SelectMessages
  std::vector<Message> messages;
  // SetRates
  std::vector<std::pair<Message, int>> rates;
  // Restart
  RestartKind restart = RestartKind::Hot;
  bool reloadSettings = false;  // bit 0 of the restart bits
  int channels = 0;             // 101 only
};

// `line` without its CR LF.
Command ParseCommand(std::string_view line);

// The restart that the bits of "$PVLRX111,<n>" amount to: cleared almanac is
// a factory start; cleared ephemeris a cold start when position or time is
// invalidated too, else a warm one; position or time alone a warm start;
// nothing of these a hot start.
RestartKind RestartOfBits(int bits);

// The line speeds the receiver can switch to.
bool IsSupportedBaud(std::uint32_t baud);

}  // namespace sim
