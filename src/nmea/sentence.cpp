#include "nmea/sentence.h"

namespace nmea {

unsigned char ChecksumOf(std::string_view text) {
  unsigned char sum = 0;
  for (std::size_t i = 1; i < text.size(); ++i) sum ^= static_cast<unsigned char>(text[i]);
  return sum;
}

void AppendChecksum(std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const unsigned char sum = ChecksumOf(text);
  text += '*';
  text += kHex[sum >> 4];
  text += kHex[sum & 0x0F];
}

std::string_view FieldView(std::string_view s, int n) {
  if (n < 1) return {};
  const std::size_t npos = std::string_view::npos;
  const bool hasStar = s.find('*') != npos;
  std::size_t start = 0;
  std::size_t end = 0;
  for (int i = 1; i <= n; ++i) {
    if (start < s.size() && s[start] == ',') {
      end = start;  // empty field
    } else if (start < s.size() && s[start] == '*') {
      return {};  // the checksum came before field n
    } else {
      std::size_t comma = start < s.size() ? s.find(',', start) : npos;
      if (comma != npos) {
        end = comma;
      } else {
        std::size_t star = start < s.size() ? s.find('*', start) : npos;
        if (star != npos) {
          end = star;
        } else if (!hasStar && start < s.size()) {
          end = s.size();  // last field of a sentence sent without "*hh"
        } else {
          return {};
        }
      }
    }
    if (i < n) start = end + 1;
  }
  return s.substr(start, end - start);
}

std::string FieldAt(std::string_view sentence, int n) {
  std::string_view f = FieldView(sentence, n);
  if (f.empty()) return "0";
  return std::string(f);
}

}  // namespace nmea
