#pragma once
// NMEA sentence framing: the checksum every sender appends and the field
// accessor every reader uses. Pure text operations, no state.

#include <string>
#include <string_view>

namespace nmea {

// Returns the checksum byte of `text`: the XOR of every byte after the
// leading "$" (the first byte is skipped whatever it is).
unsigned char ChecksumOf(std::string_view text);

// Appends "*" and the checksum as two upper-case hexadecimal digits.
void AppendChecksum(std::string& text);

// Field n of a received sentence, field 1 being the head with its "$".
// The view points into `sentence`; an empty or missing field is an empty view.
//
// A field ends at the next comma; only when no comma follows does it end at
// the first "*" after its start. When neither follows and the sentence has no
// "*" at all (a receiver that omits checksums), the field runs to the end of
// the sentence. Nothing after the "*" is ever a field.
std::string_view FieldView(std::string_view sentence, int n);

// Field n as a string; an empty or missing field reads as "0".
std::string FieldAt(std::string_view sentence, int n);

// The first kMax fields of a sentence, split in one pass with exactly the
// rules of FieldView: Fields(s)[n] == FieldView(s, n) for every n.
class Fields {
 public:
  static constexpr int kMax = 24;
  explicit Fields(std::string_view sentence);
  std::string_view operator[](int n) const {
    if (n > kMax) return FieldView(sentence_, n);
    if (n >= 1 && n <= count_) return field_[n - 1];
    return {};
  }
  // How many fields the sentence has, the head included (also beyond kMax).
  int Size() const { return total_; }

 private:
  std::string_view sentence_;
  std::string_view field_[kMax];
  int count_ = 0;  // fields 1..count_ were found; later ones (up to kMax) read as empty
  int total_ = 0;
};

}  // namespace nmea
