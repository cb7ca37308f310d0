#include "unzip/wildcard.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* pattern;
  const char* text;
  int result;
};

TEST(WildcardMatch, Table) {
  const Case cases[] = {
      {"*.txt", "README.TXT", kWildMatch},  // case is ignored
      {"*.TXT", "readme.txt", kWildMatch},
      {"*.txt", "readme.doc", kWildLiteralDiffers},  // the last walk's result
      {"a?c", "abc", kWildMatch},
      {"a?c", "abcd", kWildPatternEnded},
      {"abc", "ab", kWildTextEnded},
      {"abd", "abc", kWildLiteralDiffers},
      {"a*", "a", kWildMatch},
      {"*", "", kWildMatch},
      {"*", "anything\\at all", kWildMatch},
      {"<a-c>x", "bx", kWildMatch},
      {"<!a-c>x", "bx", kWildNotInSet},
      {"<^a-c>x", "dx", kWildMatch},
      {"<>x", "x", kWildBadSet},
      {"<ab", "a", kWildBadSet},
      {"<a->", "a", kWildBadSet},
      {"<c-a>", "b", kWildNotInSet},  // a reversed range matches nothing
      {"<xyz>1", "y1", kWildMatch},
      {"doc\\*.*", "doc\\sub\\file.txt", kWildMatch},
      {"*.*", "noext", kWildLiteralDiffers},  // no walk: the star takes one character
      {"a*b*c", "aXXbYYc", kWildMatch},
      {"a*b*c", "aXXbYY", kWildLiteralDiffers},
      {"*<0-9>.txt", "123.txt", kWildMatch},
      {"*<0-9>.txt", "file7.txt", kWildTextEnded},  // the star may swallow only digits
      {"*<a-z>", "abc", kWildMatch},
      {"*<a-z>x", "ab1x", kWildTextEnded},  // the star may swallow only letters
      {"*<!0-9>", "abc", kWildMatch},
      {"??", "a", kWildTextEnded},
      {"*?", "abc", kWildPatternEnded},  // a last "?" after a star is left to the walk
      {"lib\\*", "lib\\kv.dll", kWildMatch},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.result) << c.pattern << " vs " << c.text;
}

TEST(WildcardMatch, BytesAboveAsciiAreLiteral) {
  // Cyrillic letters are compared as bytes: only A-Z fold.
  EXPECT_EQ(WildcardMatch("\xCF*", "\xCF\xF0\xE8"), kWildMatch);
  EXPECT_EQ(WildcardMatch("\xEF*", "\xCF\xF0\xE8"), kWildLiteralDiffers);
}

}  // namespace
