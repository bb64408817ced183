#pragma once
// The sentences the receiver writes, each as one line with "*hh" and CR LF:
// $GPGGA, $GPGLL, $GPGSA, $GPGSV (a set of up to four satellites a line),
// $GPRMC, $GPVTG, $GPZDA. Times carry milliseconds (hhmmss.sss), positions
// four decimals of a minute. Without a fix the position, speed and course
// fields are empty and the status fields say so (quality 0, "V", mode 1);
// time and date are always given.

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/receiver_model.h"

namespace sim {

// `body` from "$" up to the checksum, completed with "*hh" and CR LF.
std::string Line(std::string body);

std::string FormatMessage(Message message, const Observation& o);

// The messages of `config` due in epoch `epochIndex`, in the configured order.
std::string EpochText(const OutputConfig& config, std::int64_t epochIndex, const Observation& o);

// The reply to the version query: first field "$PVLX600 Velorin QK7720",
// second `version`.
std::string VersionReply(std::string_view version);

}  // namespace sim
