#pragma once
// Interpretation of one received sentence: a pure function of the sentence
// and the receiver state. It returns the display texts to set, by control id
// and in the order they are set, and the actions the window must take; it
// updates the receiver state in place.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "nmea/receiver_state.h"

namespace nmea {

// Heads the interpreter recognises, in the order they are compared.
inline constexpr std::string_view kHeadRmc = "$GPRMC";
inline constexpr std::string_view kHeadVersion = "$PVLX600 Velorin QK7720";
inline constexpr std::string_view kHeadGsa = "$GPGSA";
inline constexpr std::string_view kHeadGsv = "$GPGSV";
inline constexpr std::string_view kHeadGga = "$GPGGA";

enum class SentenceKind { Other, Rmc, Version, Gsa, Gsv, Gga };

// What in ReceiverState a sentence changed.
enum StateChange : unsigned {
  kChangedNothing = 0,
  kChangedUsedFlags = 1u << 0,   // $GPGSA rebuilt the used flags
  kChangedSatellites = 1u << 1,  // $GPGSV wrote slots, entries or svInView
  kChangedPosition = 1u << 2,    // $GPGGA wrote latitude and longitude
};

struct Interpretation {
  SentenceKind kind = SentenceKind::Other;
  std::vector<std::pair<int, std::string>> texts;  // control id -> new text
  bool stopTtff = false;                           // a 2D or 3D fix: stop the TTFF count
  bool restartTtff = false;                        // the version reply: start a new TTFF count
  bool redrawViews = false;                        // last $GPGSV of a set: draw chart, then sky
  unsigned changed = kChangedNothing;
};

SentenceKind Classify(std::string_view sentence);

// Interprets `sentence` (from "$" up to, not including, the CR).
Interpretation Interpret(std::string_view sentence, ReceiverState& state);

// Same, reusing `out` (cleared first) so a hot loop allocates nothing.
void Interpret(std::string_view sentence, ReceiverState& state, Interpretation& out);

// The coordinate texts for a position in 1/10000 arc-minute: "N049" and
// "16'27.00\"" for latitude; `positive`/`negative` are the hemisphere letters.
std::pair<std::string, std::string> CoordinateTexts(std::int32_t value, char positive, char negative);

}  // namespace nmea
