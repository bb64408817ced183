#pragma once
// Shared pieces of the simulator tests: splitting output into lines, and the
// tool's own interpreter reading what the simulator wrote.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/interpreter.h"
#include "nmea/receiver_state.h"

namespace sim_test {

// A sentence body completed with "*hh" and CR LF, as the tool sends it.
std::string Command(std::string body);

// The lines of `text` without their CR LF; `text` must end every line so.
std::vector<std::string> Lines(std::string_view text);

// Field 1 of each line.
std::vector<std::string> Heads(std::string_view text);

// Whether a line ends in "*hh" matching the XOR of the bytes after "$".
bool ChecksumOk(std::string_view line);

// What the tool shows after reading lines: the last text of each control
// and its receiver state.
struct ToolView {
  nmea::ReceiverState state;
  std::map<int, std::string> texts;
  int redraws = 0;
  int versionReplies = 0;
  int ttffStops = 0;

  void Read(std::string_view text);
  std::string Text(int id) const;
};

}  // namespace sim_test
