#include "dialogs/field_text.h"

namespace dialogs {

namespace {

bool IsControlByte(unsigned char b) { return b < 0x20 || b == 0x7F; }

}  // namespace

bool IsSendableChar(char32_t c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF); }

bool IsSendableFieldText(std::u32string_view text) {
  for (char32_t c : text) {
    if (!IsSendableChar(c)) return false;
  }
  return true;
}

std::string SanitizeFieldText(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (IsSendableChar(c)) out += static_cast<char>(static_cast<unsigned char>(c));
  }
  return out;
}

std::string StripControlBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (!IsControlByte(static_cast<unsigned char>(c))) out += c;
  }
  return out;
}

}  // namespace dialogs
