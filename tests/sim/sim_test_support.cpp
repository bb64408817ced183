#include "sim_test_support.h"

#include <cstdio>

#include "nmea/sentence.h"

namespace sim_test {

std::string Command(std::string body) {
  nmea::AppendChecksum(body);
  return body + "\r\n";
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> Heads(std::string_view text) {
  std::vector<std::string> heads;
  for (const std::string& line : Lines(text)) heads.emplace_back(nmea::FieldView(line, 1));
  return heads;
}

bool ChecksumOk(std::string_view line) {
  const std::size_t star = line.rfind('*');
  if (line.empty() || line[0] != '$' || star == std::string_view::npos || star + 3 != line.size())
    return false;
  char expected[3];
  std::snprintf(expected, sizeof expected, "%02X", nmea::ChecksumOf(line.substr(0, star)));
  return line.substr(star + 1) == expected;
}

void ToolView::Read(std::string_view text) {
  for (const std::string& line : Lines(text)) {
    const nmea::Interpretation r = nmea::Interpret(line, state);
    for (const auto& [id, value] : r.texts) texts[id] = value;
    redraws += r.redrawViews ? 1 : 0;
    versionReplies += r.restartTtff ? 1 : 0;
    ttffStops += r.stopTtff ? 1 : 0;
  }
}

std::string ToolView::Text(int id) const {
  const auto it = texts.find(id);
  return it == texts.end() ? std::string() : it->second;
}

}  // namespace sim_test
