#pragma once
// Texts of the TTFF count and the stopwatch.

#include <cstdint>
#include <string>

namespace app {

// "TTFF  %d seconds" below a minute, else "TTFF   %02d:%02d:%02d"
// (hours wrap at 24).
std::string TtffText(std::uint32_t seconds);
// "Timer  %02d:%02d:%02d" (hours wrap at 24).
std::string StopwatchText(std::uint32_t seconds);

}  // namespace app
