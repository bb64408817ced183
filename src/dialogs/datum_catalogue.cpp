#include "dialogs/datum_catalogue.h"

#include <algorithm>

namespace dialogs {

const DatumEntry& DatumCatalogue::Datum(int row) { return Datums()[std::clamp(row, 0, kDatumCount - 1)]; }

const EllipsoidEntry& DatumCatalogue::EllipsoidOf(const DatumEntry& datum) {
  return Ellipsoids()[std::clamp(datum.ellipsoid, 0, kEllipsoidCount - 1)];
}

std::string DatumCatalogue::ListText(int row) {
  const DatumEntry& datum = Datum(row);
  std::string number = std::to_string(datum.number);
  std::string text;
  if (number.size() < 3) text.assign(3 - number.size(), ' ');
  text += number;
  text += ' ';
  text += datum.name;
  text += ' ';
  text += EllipsoidOf(datum).name;
  return text;
}

}  // namespace dialogs
