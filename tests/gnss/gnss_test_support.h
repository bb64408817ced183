#pragma once
// Building sentences with correct checksums and feeding them.

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "gnss/gnss_model.h"
#include "gnss/interpret_all.h"
#include "nmea/sentence.h"

namespace gnss_test {

// "$" + body + "*hh".
inline std::string Nmea(const std::string& body) {
  std::string s = "$" + body;
  nmea::AppendChecksum(s);
  return s;
}

// Feeds every line; returns the OR of the change masks.
inline unsigned FeedAll(gnss::GnssModel& m, std::initializer_list<std::string> lines) {
  unsigned c = 0;
  for (const std::string& l : lines) c |= m.Feed(l);
  return c;
}

inline std::vector<std::string> Labels(const gnss::GnssModel& m) {
  std::vector<std::string> out;
  for (const gnss::SkySat& s : m.SkyEntries()) out.emplace_back(s.label.view());
  return out;
}

inline std::vector<std::string> UsedLabels(const gnss::GnssModel& m) {
  std::vector<std::string> out;
  for (const gnss::SatKey& k : m.UsedSatellites()) out.emplace_back(gnss::MakeLabel(k).view());
  return out;
}

inline const gnss::SkySat* Find(const gnss::GnssModel& m, const std::string& label) {
  for (const gnss::SkySat& s : m.SkyEntries())
    if (s.label.view() == label) return &s;
  return nullptr;
}

// Texts by control id; a control set twice by one sentence fails the test.
inline std::map<int, std::string> Texts(const nmea::Interpretation& r) {
  std::map<int, std::string> m;
  for (const auto& [id, text] : r.texts)
    EXPECT_TRUE(m.emplace(id, text).second) << "control " << id << " set twice";
  return m;
}

}  // namespace gnss_test
