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

namespace {

// One left-to-right scan over the fields. Each Next() yields the next field,
// or false when the scan stops (the checksum was reached, or the sentence
// ended without a field): that field and all later ones read as empty.
class FieldScanner {
 public:
  explicit FieldScanner(std::string_view s) : s_(s), hasStar_(s.find('*') != std::string_view::npos) {}

  bool Next(std::string_view& field) {
    const std::size_t npos = std::string_view::npos;
    std::size_t end;
    if (start_ < s_.size() && s_[start_] == ',') {
      end = start_;  // empty field
    } else if (start_ < s_.size() && s_[start_] == '*') {
      return false;  // the checksum came first
    } else {
      const std::size_t comma = start_ < s_.size() ? s_.find(',', start_) : npos;
      if (comma != npos) {
        end = comma;
      } else {
        const std::size_t star = start_ < s_.size() ? s_.find('*', start_) : npos;
        if (star != npos) {
          end = star;
        } else if (!hasStar_ && start_ < s_.size()) {
          end = s_.size();  // last field of a sentence sent without "*hh"
        } else {
          return false;
        }
      }
    }
    field = s_.substr(start_, end - start_);
    start_ = end + 1;
    return true;
  }

 private:
  std::string_view s_;
  bool hasStar_;
  std::size_t start_ = 0;
};

}  // namespace

std::string_view FieldView(std::string_view s, int n) {
  if (n < 1) return {};
  FieldScanner scan(s);
  std::string_view field;
  for (int i = 1; i <= n; ++i) {
    if (!scan.Next(field)) return {};
  }
  return field;
}

Fields::Fields(std::string_view sentence) : sentence_(sentence) {
  FieldScanner scan(sentence);
  while (count_ < kMax && scan.Next(field_[count_])) ++count_;
  total_ = count_;
  if (count_ == kMax) {
    std::string_view more;
    while (scan.Next(more)) ++total_;
  }
}

std::string FieldAt(std::string_view sentence, int n) {
  std::string_view f = FieldView(sentence, n);
  if (f.empty()) return "0";
  return std::string(f);
}

}  // namespace nmea
