// The same file must give the same values through GetPrivateProfileStringA
// (Windows build, run under Wine) and through the Linux reader.
#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "platform/system_test_support.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string long_value(3000, 'x');
    ASSERT_TRUE(kvtest::WriteBytes(file_,
                                   "k=before any section\r\n"
                                   "[MAIN]\r\n"
                                   "AutoRun = 0x10 \r\n"
                                   "q= \"quoted value\" \r\n"
                                   "empty=   \r\n"
                                   "Dup=first\r\n"
                                   "dup=second\r\n"
                                   "long=" + long_value + "\r\n"
                                   "sq='single'\r\n"
                                   "half=\"open\r\n"
                                   "comment=val ; not a comment\r\n"
                                   "novalue\r\n"
                                   "inner key = v\r\n"
                                   "#hash=h\r\n"
                                   ";hidden=zzz\r\n"
                                   "eq=a=b\r\n"
                                   "[second]\r\n"
                                   "x=1\r\n"
                                   "[ spaced ]\r\n"
                                   "k=sp\r\n"
                                   "[main]\r\n"
                                   "hidden=in the second main section\r\n"
                                   "[Second]\r\n"
                                   "x=2\r\n"
                                   "[unclosed\r\n"
                                   "k=u\r\n"));
  }
  std::string Get(const char* section, const char* key) { return ReadProfileString(file_, section, key, "dflt"); }

  kvtest::TempDir temp_;
  const std::string file_ = temp_ / "t.ini";
};

struct Case {
  const char* section;
  const char* key;
  const char* expected;
};

TEST_F(ProfileTest, ValuesFollowTheWindowsRules) {
  const Case cases[] = {
      {"main", "autorun", "0x10"},          // names in any case; value trimmed
      {"Main", "AUTORUN", "0x10"},
      {"main", "q", "quoted value"},        // one pair of quotes removed
      {"main", "sq", "single"},
      {"main", "half", "\"open"},           // an unpaired quote stays
      {"main", "empty", ""},                // an empty value is a value
      {"main", "missing", "dflt"},
      {"main", "dup", "first"},             // the first of two keys
      {"main", "comment", "val ; not a comment"},
      {"main", "novalue", "dflt"},          // a line without "=" is no key
      {"main", "inner key", "v"},
      {"main", "#hash", "h"},               // "#" starts no comment
      {"main", "hidden", "dflt"},           // ";" does; a later [main] is not consulted
      {"main", "eq", "a=b"},
      {"second", "x", "1"},                 // the first section of a name
      {"spaced", "k", "sp"},                // section names are trimmed
      {"nosuch", "k", "dflt"},
      {"unclosed", "k", "dflt"},            // "[unclosed" starts no section
  };
  for (const Case& c : cases) EXPECT_EQ(Get(c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST_F(ProfileTest, ValueIsCutToTheBuffer) {
  EXPECT_EQ(Get("main", "long"), std::string(kProfileValueBuffer - 1, 'x'));
}

TEST_F(ProfileTest, MissingFileGivesTheDefault) {
  EXPECT_EQ(ReadProfileString(temp_ / "none.ini", "Main", "AutoRun", "7"), "7");
}

TEST_F(ProfileTest, LineFeedOnlyFile) {
  const std::string path = temp_ / "lf.ini";
  ASSERT_TRUE(kvtest::WriteBytes(path, "[a]\nb=1\nc=2\n"));
  EXPECT_EQ(ReadProfileString(path, "A", "c", ""), "2");
}

#ifndef _WIN32
// Editors often save with a byte-order mark; the value still arrives as ANSI.
TEST_F(ProfileTest, Utf8AndUtf16FilesBecomeAnsi) {
  const std::string utf8 = temp_ / "utf8.ini";
  ASSERT_TRUE(kvtest::WriteBytes(utf8, "\xEF\xBB\xBF[Main]\r\nInstallDir=C:\\\xD0\x9A\xD0\x92\r\n"));
  EXPECT_EQ(ReadProfileString(utf8, "Main", "InstallDir", ""), "C:\\\xCA\xC2");  // "КВ" in code page 1251
  const std::string utf16 = temp_ / "utf16.ini";
  ASSERT_TRUE(kvtest::WriteBytes(utf16, std::string("\xFF\xFE[\0M\0]\0\r\0\n\0k\0=\0\x1A\x04", 18)));
  EXPECT_EQ(ReadProfileString(utf16, "m", "k", ""), "\xCA");
}
#endif

}  // namespace
}  // namespace platform
