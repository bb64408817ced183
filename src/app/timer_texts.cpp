#include "app/timer_texts.h"

#include <cstdio>

namespace app {
namespace {

std::string Clock(const char* format, std::uint32_t v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, static_cast<unsigned>((v / 3600) % 24),
                static_cast<unsigned>((v / 60) % 60), static_cast<unsigned>(v % 60));
  return buf;
}

}  // namespace

std::string TtffText(std::uint32_t seconds) {
  if (seconds < 60) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "TTFF  %u seconds", static_cast<unsigned>(seconds));
    return buf;
  }
  return Clock("TTFF   %02u:%02u:%02u", seconds);
}

std::string StopwatchText(std::uint32_t seconds) { return Clock("Timer  %02u:%02u:%02u", seconds); }

}  // namespace app
