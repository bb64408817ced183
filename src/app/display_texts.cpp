#include "app/display_texts.h"

#include "resources/main_ids.h"

namespace app {

const std::array<StartText, 15> kStartTexts{{
    {ids::kLatitudeDeg, "N000 00'00.00\""},
    {ids::kLatitudeMin, "00'00.00\""},
    {ids::kLongitudeDeg, "E000 00'00.00\""},
    {ids::kLongitudeMin, "00'00.00\""},
    {ids::kAltitude, "0 m"},
    {ids::kSpeed, "0 Km/h"},
    {ids::kCourse, "0 "},
    {ids::kPdop, "PDOP=0.00"},
    {ids::kHdop, "HDOP=0.00"},
    {ids::kVdop, "VDOP=0.00"},
    {ids::kSvsInUse, "SVs in use  : 0"},
    {ids::kSvsInView, "SVs in view : 0"},
    {ids::kFix, "Fix : not available"},
    {ids::kUtc, "UTC = 00:00:00"},
    {ids::kVersion, "Version unknown"},
}};

namespace {

int IndexOf(int id) {
  for (std::size_t i = 0; i < kStartTexts.size(); ++i)
    if (kStartTexts[i].id == id) return static_cast<int>(i);
  return -1;
}

}  // namespace

void DisplayTexts::Apply(const nmea::Interpretation& r) {
  for (const auto& [id, text] : r.texts) {
    const int i = IndexOf(id);
    if (i >= 0) texts_[static_cast<std::size_t>(i)] = text;
  }
}

void DisplayTexts::Reset() {
  for (std::size_t i = 0; i < kStartTexts.size(); ++i) texts_[i].assign(kStartTexts[i].text);
}

const std::string& DisplayTexts::TextOf(int id) const {
  static const std::string kNone;
  const int i = IndexOf(id);
  return i >= 0 ? texts_[static_cast<std::size_t>(i)] : kNone;
}

}  // namespace app
