#pragma once
// The decoder's JSON lines: one object per interpreted sentence. Kept in the
// core so tests, the decoder and its benchmark share one writer.

#include <string>
#include <string_view>

#include "nmea/interpreter.h"

namespace nmea {

// Appends `text` as a JSON string literal. Texts are 8-bit; bytes outside
// printable ASCII are written as \u00XX escapes so the output is valid UTF-8.
void AppendJsonString(std::string& out, std::string_view text);

struct JsonOptions {
  bool withState = false;  // add the whole receiver state to every object
};

// Appends the opening of one line: "{" and the members sentence, texts and
// actions, without the closing brace.
void AppendJsonHead(std::string& out, std::string_view sentence, const Interpretation& r);

// Appends one line (ending in "\n") describing what `sentence` did.
void AppendJsonLine(std::string& out, std::string_view sentence, const Interpretation& r,
                    const ReceiverState& state, const JsonOptions& options);

}  // namespace nmea
