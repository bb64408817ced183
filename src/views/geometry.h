#pragma once
// Arithmetic of the two satellite views, free of any drawing: where the sky
// plot puts its rings, spokes and markers, and how the signal chart lays out
// its bars. The window's painting only draws what these return.

#include <array>
#include <cstdint>
#include <span>

#include "gnss/gnss_model.h"
#include "nmea/receiver_state.h"

namespace views {

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// The sky plot of an area W x H pixels.
struct SkyLayout {
  double radius = 0;           // horizon circle
  Point centre;                // in area coordinates
  std::array<int, 5> rings{};  // radii of the 75, 60, 45, 30 and 15 degree rings
};

SkyLayout LayoutSky(int width, int height);

// Area position of a satellite at (azimuth, elevation) in degrees; north is up.
// Each step is rounded to double precision and the result truncated, so points
// may fall up to one pixel short of their exact position.
Point SkyPoint(const SkyLayout& sky, double azimuth, double elevation);

// The satellite of a slot as the views see it: its entry, or all zeros when
// the slot's PRN has none.
nmea::SatInfo SlotSat(const nmea::ReceiverState& state, int slot);

// Whether the sky plot draws a marker for this satellite.
inline bool SkyMarkerShown(const nmea::SatInfo& s) {
  return (s.azimuth != 0 && s.elevation != 0) || s.snr != 0;
}

// The signal chart of an area W x H pixels with n bars.
struct ChartLayout {
  int bars = 0;        // n; 0 when there is nothing to draw
  int barWidth = 0;    // b
  double pitch = 0;    // q
  int fontHeight = 0;  // also the height of the PRN label strip
  int fontWidth = 0;
  int barBottom = 0;  // B = H - fontHeight
  int BarLeft(int i) const;
};

ChartLayout LayoutChart(int width, int height, int slotCount);

// Top of the filled part of a bar of SNR `snr` against full scale `maxSnr`.
int BarTop(const ChartLayout& chart, int snr, int maxSnr);

// The full scale after drawing `state`: raised to the largest SNR drawn, never lowered.
int RaiseMaxSnr(const nmea::ReceiverState& state, int maxSnr);

// The same for the bars of the "All constellations" mode (C/N0 of the bars
// that have one).
int RaiseMaxSnr(std::span<const gnss::ChartBar> bars, int maxSnr);

// The SNR a bar of the "All constellations" mode draws: its C/N0, 0 without.
inline int BarSnr(const gnss::ChartBar& bar) { return bar.hasCno ? bar.cno : 0; }

// Whether the sky plot of the "All constellations" mode draws a satellite:
// it needs both angles, and an elevation not below the horizon.
inline bool SkyEntryShown(const gnss::SkySat& s) {
  return s.HasElevation() && s.HasAzimuth() && s.elevation >= 0;
}

// Whether a bar's SNR is written as a number (0 < snr < 70), and whether it
// stands inside the bar in white (snr > 10) rather than above it in black.
inline bool SnrLabelShown(int snr) { return snr > 0 && snr < 70; }
inline bool SnrLabelInside(int snr) { return snr > 10; }

// Sky label metrics derived from the sky area's height.
inline int SkyTextHeight(int areaHeight) { return areaHeight / 24; }
inline int MarkerRadius(int skyTextHeight) { return (4 * skyTextHeight) / 5; }

}  // namespace views
