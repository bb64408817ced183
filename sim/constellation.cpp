#include "sim/constellation.h"

#include <cmath>
#include <numbers>

namespace sim {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

// WGS 84.
constexpr double kEquatorRadius = 6378137.0;
constexpr double kFlattening = 1.0 / 298.257223563;
constexpr double kE2 = kFlattening * (2.0 - kFlattening);

// Orbits: semi-major axis, period (half a sidereal day), inclination.
constexpr double kOrbitRadius = 26559700.0;
constexpr double kOrbitPeriod = 43082.05;
constexpr double kInclination = 55.0 * kDeg;
constexpr int kPlanes = 6;
constexpr int kSlotsPerPlane = kConstellationSize / kPlanes;

// 2000-01-01 12:00:00 UTC, the reference of the sidereal-time formula.
constexpr Millis kJ2000 = 946728000000;

// Six planes of four; each plane's slots are a quarter turn apart and each
// plane is a further 15 degrees along (a 24/6/1 Walker pattern).
constexpr std::array<int, kConstellationSize> kPrns{2, 5, 7,  12, 9,  14, 19, 29, 3, 6,  16, 21,
                                                    1, 4, 18, 31, 10, 13, 15, 25, 8, 11, 17, 22};

struct Vec3 {
  double x, y, z;
};

Vec3 EcefOf(const Geodetic& g) {
  const double lat = g.latitude * kDeg;
  const double lon = g.longitude * kDeg;
  const double n = kEquatorRadius / std::sqrt(1.0 - kE2 * std::sin(lat) * std::sin(lat));
  return {(n + g.altitude) * std::cos(lat) * std::cos(lon), (n + g.altitude) * std::cos(lat) * std::sin(lon),
          (n * (1.0 - kE2) + g.altitude) * std::sin(lat)};
}

// Greenwich sidereal angle in radians.
double SiderealAngle(double secondsSinceJ2000) {
  const double days = secondsSinceJ2000 / 86400.0;
  const double degrees = std::fmod(280.46061837 + 360.98564736629 * days, 360.0);
  return degrees * kDeg;
}

Vec3 SatelliteEcef(int slot, double seconds, double sidereal) {
  const int plane = slot / kSlotsPerPlane;
  const int inPlane = slot % kSlotsPerPlane;
  const double node = plane * (360.0 / kPlanes) * kDeg;
  const double phase0 = (inPlane * (360.0 / kSlotsPerPlane) + plane * 15.0) * kDeg;
  const double turns = std::fmod(seconds / kOrbitPeriod, 1.0);
  const double u = phase0 + 2.0 * kPi * turns;
  const double xo = kOrbitRadius * std::cos(u);
  const double yo = kOrbitRadius * std::sin(u);
  // Orbit plane -> inertial frame.
  const double xi = xo * std::cos(node) - yo * std::cos(kInclination) * std::sin(node);
  const double yi = xo * std::sin(node) + yo * std::cos(kInclination) * std::cos(node);
  const double zi = yo * std::sin(kInclination);
  // Inertial -> earth-fixed.
  return {xi * std::cos(sidereal) + yi * std::sin(sidereal),
          -xi * std::sin(sidereal) + yi * std::cos(sidereal), zi};
}

// Unit line of sight in east, north, up.
Vec3 LineOfSight(const SatDirection& d) {
  const double el = d.elevation * kDeg;
  const double az = d.azimuth * kDeg;
  return {std::cos(el) * std::sin(az), std::cos(el) * std::cos(az), std::sin(el)};
}

// Inverts a symmetric n x n matrix (n <= 4) in place by Gauss-Jordan
// elimination with partial pivoting. False when it is (nearly) singular.
bool Invert(double (&m)[4][4], int n) {
  double inv[4][4] = {};
  for (int i = 0; i < n; ++i) inv[i][i] = 1.0;
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int r = col + 1; r < n; ++r) {
      if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
    }
    if (std::fabs(m[pivot][col]) < 1e-9) return false;
    for (int c = 0; c < n; ++c) {
      std::swap(m[col][c], m[pivot][c]);
      std::swap(inv[col][c], inv[pivot][c]);
    }
    const double p = m[col][col];
    for (int c = 0; c < n; ++c) {
      m[col][c] /= p;
      inv[col][c] /= p;
    }
    for (int r = 0; r < n; ++r) {
      if (r == col) continue;
      const double f = m[r][col];
      for (int c = 0; c < n; ++c) {
        m[r][c] -= f * m[col][c];
        inv[r][c] -= f * inv[col][c];
      }
    }
  }
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) m[r][c] = inv[r][c];
  }
  return true;
}

}  // namespace

const std::array<int, kConstellationSize>& ConstellationPrns() { return kPrns; }

std::array<SatDirection, kConstellationSize> SkyAt(const Geodetic& where, Millis utc) {
  const double seconds = static_cast<double>(utc - kJ2000) / 1000.0;
  const double sidereal = SiderealAngle(seconds);
  const Vec3 me = EcefOf(where);
  const double lat = where.latitude * kDeg;
  const double lon = where.longitude * kDeg;
  std::array<SatDirection, kConstellationSize> sky{};
  for (int slot = 0; slot < kConstellationSize; ++slot) {
    const Vec3 sat = SatelliteEcef(slot, seconds, sidereal);
    const double dx = sat.x - me.x, dy = sat.y - me.y, dz = sat.z - me.z;
    const double east = -std::sin(lon) * dx + std::cos(lon) * dy;
    const double north =
        -std::sin(lat) * std::cos(lon) * dx - std::sin(lat) * std::sin(lon) * dy + std::cos(lat) * dz;
    const double up =
        std::cos(lat) * std::cos(lon) * dx + std::cos(lat) * std::sin(lon) * dy + std::sin(lat) * dz;
    SatDirection& d = sky[static_cast<std::size_t>(slot)];
    d.prn = kPrns[static_cast<std::size_t>(slot)];
    d.elevation = std::atan2(up, std::hypot(east, north)) / kDeg;
    d.azimuth = std::atan2(east, north) / kDeg;
    if (d.azimuth < 0) d.azimuth += 360.0;
  }
  return sky;
}

Dops DopsOf(const std::vector<SatDirection>& used, bool twoD) {
  const int unknowns = twoD ? 3 : 4;
  Dops dops;
  if (static_cast<int>(used.size()) < unknowns) return dops;
  // Normal matrix of the rows (-e, -n, [-u,] 1).
  double m[4][4] = {};
  for (const SatDirection& d : used) {
    const Vec3 los = LineOfSight(d);
    const double row3[3] = {-los.x, -los.y, 1.0};
    const double row4[4] = {-los.x, -los.y, -los.z, 1.0};
    const double* row = twoD ? row3 : row4;
    for (int r = 0; r < unknowns; ++r) {
      for (int c = 0; c < unknowns; ++c) m[r][c] += row[r] * row[c];
    }
  }
  if (!Invert(m, unknowns)) return dops;
  dops.hdop = std::sqrt(m[0][0] + m[1][1]);
  dops.vdop = twoD ? 0.0 : std::sqrt(m[2][2]);
  dops.pdop = twoD ? dops.hdop : std::sqrt(m[0][0] + m[1][1] + m[2][2]);
  dops.valid = std::isfinite(dops.pdop) && std::isfinite(dops.hdop);
  return dops;
}

int SnrOf(int prn, double elevation, Millis utc) {
  const double seconds = static_cast<double>(utc % 86400000) / 1000.0;
  const double wander = 3.0 * std::sin(2.0 * kPi * seconds / (60.0 + 7.0 * prn) + prn);
  const double el = elevation < 0 ? 0 : elevation;
  const double snr = 30.0 + 17.0 * std::sin(el * kDeg) + wander;
  return static_cast<int>(std::lround(std::fmin(std::fmax(snr, 20.0), 55.0)));
}

Geodetic Offset(const Geodetic& from, double east, double north, double up) {
  const double lat = from.latitude * kDeg;
  const double sin2 = std::sin(lat) * std::sin(lat);
  const double meridian = kEquatorRadius * (1.0 - kE2) / std::pow(1.0 - kE2 * sin2, 1.5);
  const double normal = kEquatorRadius / std::sqrt(1.0 - kE2 * sin2);
  Geodetic to = from;
  to.latitude += north / (meridian + from.altitude) / kDeg;
  const double cosLat = std::cos(lat);
  if (std::fabs(cosLat) > 1e-9) to.longitude += east / ((normal + from.altitude) * cosLat) / kDeg;
  if (to.longitude > 180.0) to.longitude -= 360.0;
  if (to.longitude < -180.0) to.longitude += 360.0;
  to.altitude += up;
  return to;
}

}  // namespace sim
