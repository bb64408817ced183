#include "nmea/numbers.h"

#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace nmea {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

std::int32_t AtoI(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // Accumulate as a negative number so INT32_MIN is reachable without overflow.
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  std::int64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 - (s[i] - '0');
    if (value < kMin) {
      value = kMin - 1;  // saturated; keep consuming digits
    }
  }
  if (negative)
    return value < kMin ? std::numeric_limits<std::int32_t>::min() : static_cast<std::int32_t>(value);
  if (-value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(-value);
}

double AtoF(std::string_view s) {
  // strtod needs a terminated string; fields are short, so a small buffer
  // serves nearly always.
  char small[128];
  const char* text;
  std::string large;
  if (s.size() < sizeof small) {
    s.copy(small, s.size());
    small[s.size()] = '\0';
    text = small;
  } else {
    large.assign(s);
    text = large.c_str();
  }
  locale_t loc = CLocale();
  if (loc == static_cast<locale_t>(nullptr)) return std::strtod(text, nullptr);
  return strtod_l(text, nullptr, loc);
}

std::int32_t TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

}  // namespace nmea
