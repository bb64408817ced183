#pragma once
// The geodetic datums the receiver knows, and their reference ellipsoids.
// The receiver selects a datum by its number; the datum dialog lists these
// rows in order (list position = row) and shows each row's shift and its
// ellipsoid's parameters in the integer form the receiver takes for a
// user-defined datum. Constant data, compiled in (datum_catalogue_data.cpp).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dialogs {

struct EllipsoidEntry {
  std::string_view name;  // may be empty (the user-defined datum's ellipsoid)
  // Inverse flattening less 290, in millionths: 1/f = 290 + code / 1e6.
  std::int32_t inverseFlatteningCode;
  // Semi-major axis less 6 370 000 m, in millimetres: a = 6 370 000 m + code / 1000.
  std::int32_t semiMajorAxisCode;
};

struct DatumEntry {
  std::int32_t number;  // what the receiver is sent; the row position except for the last row
  std::string_view name;
  std::int32_t dx, dy, dz;  // origin shift to WGS 84, whole metres
  int ellipsoid;            // index into DatumCatalogue::Ellipsoids()
};

// The number of the last row, whose shift and ellipsoid the user supplies.
inline constexpr std::int32_t UserDefinedDatumNumber = 500;

class DatumCatalogue {
 public:
  static constexpr int kDatumCount = 220;
  static constexpr int kEllipsoidCount = 27;
  static constexpr int kUserDefinedRow = kDatumCount - 1;

  static std::span<const DatumEntry> Datums();
  static std::span<const EllipsoidEntry> Ellipsoids();

  // The row at list position `row`; a position outside 0..219 is taken as
  // the nearest row.
  static const DatumEntry& Datum(int row);
  static const EllipsoidEntry& EllipsoidOf(const DatumEntry& datum);

  // The datum list's item for `row`: "%3d %s %s" of number, datum name and
  // ellipsoid name, e.g. "  0 Adindan Burkina Faso Clarke 1880" and
  // "500 User Defined Datum " (its ellipsoid has no name).
  static std::string ListText(int row);
};

}  // namespace dialogs
