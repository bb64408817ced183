#pragma once
// The command line of gpsdesk-sim.

#include <string>

#include "sim/simulator.h"

namespace sim {

struct ProgramOptions {
  SimOptions sim;
  int com = 1;                        // published as "COM<com>"
  std::string replayPath;             // empty: play the model
  std::string recordPath;             // empty: keep no copy of what goes out on the line
  int tcpPort = -1;                   // also serve the line on this TCP port; 0: a free one; -1: no socket
  std::string tcpHost = "127.0.0.1";  // the numeric address the socket listens on
  bool help = false;
};

// Fills `out` from the arguments (argv[0] is the program). Returns an empty
// text on success, otherwise what is wrong.
std::string ParseOptions(int argc, const char* const* argv, ProgramOptions& out);

std::string UsageText();

}  // namespace sim
