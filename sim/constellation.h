#pragma once
// A GPS-like constellation: 24 satellites on circular orbits of half a
// sidereal day in six planes inclined at 55 degrees, seen from a place on the
// WGS 84 ellipsoid. Directions come from the orbit geometry and the earth's
// rotation, so elevations and azimuths drift the way real ones do (a few
// degrees a minute), satellites rise and set, and 7 to 12 are above the
// horizon at any place and time.

#include <array>
#include <vector>

#include "sim/clock.h"

namespace sim {

struct Geodetic {
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive
  double altitude = 0;   // metres above the ellipsoid
};

// Where a satellite stands in the sky of one place.
struct SatDirection {
  int prn = 0;
  double elevation = 0;  // degrees, negative below the horizon
  double azimuth = 0;    // degrees from true north, 0 to 360
};

inline constexpr int kConstellationSize = 24;

// The PRN of each orbit slot.
const std::array<int, kConstellationSize>& ConstellationPrns();

// Every satellite's direction, in slot order, at `utc` seen from `where`.
std::array<SatDirection, kConstellationSize> SkyAt(const Geodetic& where, Millis utc);

struct Dops {
  bool valid = false;
  double pdop = 0, hdop = 0, vdop = 0;  // vdop is 0 for a 2D solution
};

// The dilutions of precision of a solution from these satellites: a 3D
// solution (east, north, up, clock) needs four, a 2D one (altitude held,
// east, north, clock) three. Invalid when the geometry gives no solution.
Dops DopsOf(const std::vector<SatDirection>& used, bool twoD);

// Signal-to-noise ratio in dB-Hz of a tracked satellite: stronger high in the
// sky, with a slow wander of a few dB of its own.
int SnrOf(int prn, double elevation, Millis utc);

// A place moved by metres east, north and up (small offsets).
Geodetic Offset(const Geodetic& from, double east, double north, double up);

}  // namespace sim
