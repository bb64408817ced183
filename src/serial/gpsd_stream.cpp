#include "serial/gpsd_stream.h"

#include <algorithm>

namespace serial {
namespace {

constexpr std::size_t kMaxMemberText = 200;

// The position just after `"name":` followed by optional blanks, or npos.
std::size_t ValueOf(std::string_view line, std::string_view name) {
  const std::string key = "\"" + std::string(name) + "\"";
  std::size_t at = 0;
  while ((at = line.find(key, at)) != std::string_view::npos) {
    std::size_t p = at + key.size();
    while (p < line.size() && line[p] == ' ') ++p;
    if (p < line.size() && line[p] == ':') {
      ++p;
      while (p < line.size() && line[p] == ' ') ++p;
      return p;
    }
    at += key.size();
  }
  return std::string_view::npos;
}

}  // namespace

std::string JsonStringMember(std::string_view line, std::string_view name) {
  std::size_t p = ValueOf(line, name);
  if (p == std::string_view::npos || p >= line.size() || line[p] != '"') return {};
  std::string text;
  for (++p; p < line.size() && text.size() < kMaxMemberText; ++p) {
    char c = line[p];
    if (c == '"') break;
    if (c == '\\' && p + 1 < line.size()) {
      const char e = line[++p];
      switch (e) {
        case 'n':
        case 't':
        case 'r':
          c = ' ';
          break;
        case 'u':
          c = '?';
          p += std::min<std::size_t>(4, line.size() - p - 1);
          break;
        default:
          c = e;  // \" \\ \/
          break;
      }
    }
    const auto u = static_cast<unsigned char>(c);
    text += u >= 0x20 && u < 0x7F ? c : '?';
  }
  return text;
}

bool JsonClassIs(std::string_view line, std::string_view name) {
  const std::size_t p = ValueOf(line, "class");
  if (p == std::string_view::npos) return false;
  const std::string quoted = "\"" + std::string(name) + "\"";
  return line.substr(p, quoted.size()) == quoted;
}

GpsdStream::GpsdStream(std::string device) : device(std::move(device)) {}

std::size_t GpsdStream::Filter(unsigned char* bytes, std::size_t count) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char c = bytes[i];
    if (atLineStart) {
      inJson = c == '{';
      jsonTooLong = false;
      json.clear();
    }
    atLineStart = c == '\n';
    if (!inJson) {
      bytes[kept++] = c;
      continue;
    }
    if (c == '\n') {
      JsonLineEnded();
    } else if (json.size() < kMaxJsonLine) {
      json += static_cast<char>(c);
    } else {
      jsonTooLong = true;
    }
  }
  return kept;
}

// {"class":"DEVICE","path":"/dev/ttyUSB0","activated":0}: gpsd closed the
// device for good (removed from its pool). Only the watched device counts.
void GpsdStream::JsonLineEnded() {
  if (jsonTooLong || device.empty() || !JsonClassIs(json, "DEVICE")) return;
  if (JsonStringMember(json, "path") != device) return;
  const std::size_t p = ValueOf(json, "activated");
  if (p == std::string_view::npos || json.compare(p, 1, "0") != 0) return;
  const char after = p + 1 < json.size() ? json[p + 1] : '}';
  if (after == ',' || after == '}' || after == ' ' || after == '\r') deviceGone = true;
}

}  // namespace serial
