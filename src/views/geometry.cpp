#include "views/geometry.h"

#include <cmath>

#include "nmea/numbers.h"

namespace views {

SkyLayout LayoutSky(int w, int h) {
  SkyLayout s;
  s.radius = h > w ? (w - 4) / 2 : (h - 4) / 2;
  s.centre = {(w - 4) / 2, (h - 4) / 2 + 1};
  for (int i = 1; i <= 5; ++i) {
    s.rings[static_cast<std::size_t>(i - 1)] = nmea::TruncToInt(i * s.radius * 0.16666666666666666);
  }
  return s;
}

Point SkyPoint(const SkyLayout& sky, double azimuth, double elevation) {
  const double f = (90 - elevation) * sky.radius * 0.011111111111111112;
  const double theta = (azimuth + 360 - 90) * 0.017453277777777776;
  return {nmea::TruncToInt(sky.centre.x + f * std::cos(theta)),
          nmea::TruncToInt(sky.centre.y + f * std::sin(theta))};
}

nmea::SatInfo SlotSat(const nmea::ReceiverState& state, int slot) {
  if (slot < 0 || slot >= nmea::kChannelSlots) return {};
  const nmea::SatInfo* s = state.SatFor(state.channelPrn[static_cast<std::size_t>(slot)]);
  return s ? *s : nmea::SatInfo{};
}

int ChartLayout::BarLeft(int i) const { return 3 + nmea::TruncToInt(i * (pitch + 2.0)); }

ChartLayout LayoutChart(int w, int h, int n) {
  ChartLayout c;
  if (n <= 0) return c;
  c.bars = n;
  c.barWidth = (w - 2 * n - 3) / n;
  if (c.barWidth > 45) {
    c.fontHeight = 24;
    c.fontWidth = 15;
  } else {
    c.fontHeight = c.barWidth / 2;
    c.fontWidth = c.barWidth / 3;
  }
  c.pitch = static_cast<double>(w - 2 * n - 2) / n;
  c.barBottom = h - c.fontHeight;
  return c;
}

int BarTop(const ChartLayout& c, int snr, int maxSnr) {
  if (maxSnr <= 0) return 4;
  // 64-bit: an absurd SNR from a hostile line must not overflow.
  const long long top = 4 + (static_cast<long long>(maxSnr) - snr) * (c.barBottom - 6) / maxSnr;
  return static_cast<int>(top < -1000000 ? -1000000 : top > 1000000 ? 1000000 : top);
}

int RaiseMaxSnr(const nmea::ReceiverState& state, int maxSnr) {
  for (int i = 0; i < state.ViewSlotCount(); ++i) {
    const int s = SlotSat(state, i).snr;
    if (s > maxSnr) maxSnr = s;
  }
  return maxSnr;
}

int RaiseMaxSnr(std::span<const gnss::ChartBar> bars, int maxSnr) {
  for (const gnss::ChartBar& bar : bars)
    if (BarSnr(bar) > maxSnr) maxSnr = BarSnr(bar);
  return maxSnr;
}

}  // namespace views
