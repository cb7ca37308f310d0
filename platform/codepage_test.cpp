#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace platform {
namespace {

TEST(Codepage, Cp1251AndUtf8RoundTrip) {
  const std::string utf8 = "Установка KV для STL";
  const std::string ansi = Utf8ToCp1251(utf8);
  EXPECT_EQ(ansi.size(), 20u);
  EXPECT_EQ(static_cast<unsigned char>(ansi[0]), 0xD3);  // У
  EXPECT_EQ(Cp1251ToUtf8(ansi), utf8);
}

TEST(Codepage, Cp866ToCp1251) {
  // "Привет" in code page 866.
  const std::string oem = "\x8F\xE0\xA8\xA2\xA5\xE2";
  EXPECT_EQ(Cp866ToUtf8(oem), "Привет");
  EXPECT_EQ(Cp866ToCp1251(oem), Utf8ToCp1251("Привет"));
  // A box-drawing character has no place in 1251.
  EXPECT_EQ(Cp866ToCp1251("\xC4"), "_");
}

TEST(Codepage, InvalidOrUnmappableUtf8BecomesReplacement) {
  EXPECT_EQ(Utf8ToCp1251("a\xFF" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD", '_'), "_");  // a CJK character
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                 // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));             // a surrogate
  EXPECT_TRUE(IsValidUtf8("Ёж"));
}

TEST(Codepage, Utf16RoundTrip) {
  const std::string s = "Ёж \xF0\x9F\x98\x80";  // with a character outside the BMP
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80").size(), 2u);
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

TEST(Codepage, AnsiConversionNeverBestFits) {
  // The fullwidth solidus must not become a path separator.
  EXPECT_EQ(Utf8ToAnsi("a\xEF\xBC\x8F" "b", '_'), "a_b");
  EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi("plain.txt")), "plain.txt");
}

}  // namespace
}  // namespace platform
