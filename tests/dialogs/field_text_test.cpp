#include "dialogs/field_text.h"

#include <gtest/gtest.h>

#include <string>

namespace dialogs {
namespace {

TEST(FieldText, SendableCharacters) {
  for (char32_t c : {U' ', U'0', U',', U'*', U'$', U'~', char32_t{0xA0}, char32_t{0xE9}, char32_t{0xFF}}) {
    EXPECT_TRUE(IsSendableChar(c)) << static_cast<unsigned>(c);
  }
  for (char32_t c : {char32_t{0x00}, U'\t', U'\r', U'\n', char32_t{0x1B}, char32_t{0x1F}, char32_t{0x7F},
                     char32_t{0x80}, char32_t{0x9F}, char32_t{0x100}, char32_t{0x20AC}, char32_t{0x1F600}}) {
    EXPECT_FALSE(IsSendableChar(c)) << static_cast<unsigned>(c);
  }
}

TEST(FieldText, WholeTexts) {
  EXPECT_TRUE(IsSendableFieldText(U""));
  EXPECT_TRUE(IsSendableFieldText(U"25,00.0000"));
  EXPECT_TRUE(IsSendableFieldText(U" -1.5e3 *x"));
  EXPECT_FALSE(IsSendableFieldText(U"1\r\n$PVLRX111,FACTORY"));
  EXPECT_FALSE(IsSendableFieldText(U"12\u20ac"));
}

TEST(FieldText, SanitizeKeepsSendableCharactersAsLatin1Bytes) {
  EXPECT_EQ(SanitizeFieldText(U"25,00.0000"), "25,00.0000");
  EXPECT_EQ(SanitizeFieldText(U"a\rb\n\u00e9\u20ac\u0085c"),
            "ab\xe9"
            "c");
  EXPECT_EQ(SanitizeFieldText(U"\r\n"), "");
}

TEST(FieldText, StripControlBytesKeepsEightBitText) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string stripped = StripControlBytes(all);
  ASSERT_EQ(stripped.size(), 256u - 33u);
  EXPECT_EQ(stripped.front(), ' ');
  EXPECT_EQ(stripped[0x7E - 0x20], '~');
  EXPECT_EQ(static_cast<unsigned char>(stripped[0x7F - 0x20]), 0x80);
  EXPECT_EQ(static_cast<unsigned char>(stripped.back()), 0xFF);
}

}  // namespace
}  // namespace dialogs
