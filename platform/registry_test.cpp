#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/system_test_support.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

#ifdef _WIN32

// Under Wine (and on Windows) the key always exists and names a folder.
TEST(RegistryTest, ReadsTheSystemsProgramFilesFolder) {
  const char* key = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  ASSERT_TRUE(RegistryKeyExists(RegistryRoot::kLocalMachine, key));
  std::string value;
  ASSERT_TRUE(RegistryReadString(RegistryRoot::kLocalMachine, key, "programfilesdir", &value));
  EXPECT_EQ(value.substr(1, 2), ":\\") << value;
}

TEST(RegistryTest, MissingKeyOrValue) {
  std::string value = "stale";
  EXPECT_FALSE(RegistryKeyExists(RegistryRoot::kLocalMachine, "SOFTWARE\\kvsetup-no-such-key"));
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kLocalMachine, "SOFTWARE\\kvsetup-no-such-key", "x", &value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                  "kvsetup-no-such-value", &value));
}

#else

// A prefix whose system.reg is written by the test, in Wine's format.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kvtest::WriteBytes(
        temp_ / "system.reg",
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\Machine\n"
        "\n"
        "#arch=win32\n"
        "\n"
        "[Software\\\\Classes\\\\.kvx] 1796994315\n"
        "@=\"KVFile\"\n"
        "\n"
        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1796994315\n"
        "#time=1dd897043a9aac6\n"
        "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
        "\"FirstInstallDateTime\"=hex:21,81,7c,23\n"
        "\"ProgramFilesDir\"=\"D:\\\\Program Files\"\n"
        "\"ProgramFilesPath\"=str(2):\"%ProgramFiles%\"\n"
        "\"Quoted\"=\"say \\\"hi\\\"\\ttab\"\n"
        "\"Cyrillic\"=\"\\x41a\\x0416\"\n"
        "\"Utf8\"=\"\xD0\x96\"\n"
        "\"Number\"=dword:00000001\n"
        "\n"
        "[Software\\\\Other] 1796994315\n"
        "\"ProgramFilesDir\"=\"wrong key\"\n"));
  }

  kvtest::TempDir temp_;
  kvtest::ScopedEnv root_{"KVSETUP_ROOT", HostPath(temp_.path())};
};

constexpr const char* kKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

TEST_F(RegistryTest, ReadsStringValues) {
  struct Case {
    const char* name;
    const char* expected;
  } cases[] = {
      {"ProgramFilesDir", "D:\\Program Files"},
      {"PROGRAMFILESDIR", "D:\\Program Files"},  // names without regard to case
      {"ProgramFilesPath", "%ProgramFiles%"},     // expandable strings are not expanded
      {"Quoted", "say \"hi\"\ttab"},
      {"Cyrillic", "\xCA\xC6"},  // "\x41a" is U+041A (hex digits end at a non-digit), "\x0416" U+0416
      {"Utf8", "\xC6"},              // "Ж" written as UTF-8
  };
  for (const auto& c : cases) {
    std::string value;
    EXPECT_TRUE(RegistryReadString(RegistryRoot::kLocalMachine, kKey, c.name, &value)) << c.name;
    EXPECT_EQ(value, c.expected) << c.name;
  }
}

TEST_F(RegistryTest, KeysMatchWithoutCaseAndWithoutLeadingSeparator) {
  std::string value;
  EXPECT_TRUE(RegistryReadString(RegistryRoot::kLocalMachine, "software\\microsoft\\WINDOWS\\currentversion",
                                 "ProgramFilesDir", &value));
  EXPECT_EQ(value, "D:\\Program Files");
  EXPECT_TRUE(RegistryKeyExists(RegistryRoot::kLocalMachine, kKey));
  EXPECT_TRUE(RegistryKeyExists(RegistryRoot::kLocalMachine, "Software\\Microsoft"));  // has keys below it
  EXPECT_FALSE(RegistryKeyExists(RegistryRoot::kLocalMachine, "Software\\Micro"));
}

TEST_F(RegistryTest, NonStringsAndMissingValuesAreNotRead) {
  std::string value = "stale";
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kLocalMachine, kKey, "Number", &value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kLocalMachine, kKey, "FirstInstallDateTime", &value));
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kLocalMachine, kKey, "NoSuchValue", &value));
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kLocalMachine, "Software\\NoSuch", "ProgramFilesDir", &value));
}

TEST_F(RegistryTest, ClassesRootIsBelowLocalMachine) {
  std::string value;
  EXPECT_TRUE(RegistryReadString(RegistryRoot::kClassesRoot, ".kvx", "", &value));
  EXPECT_EQ(value, "KVFile");
}

TEST(RegistryPrefixTest, NoRegistryFileMeansNoKeys) {
  kvtest::TempDir temp;
  kvtest::ScopedEnv root("KVSETUP_ROOT", HostPath(temp.path()));
  std::string value;
  EXPECT_FALSE(RegistryKeyExists(RegistryRoot::kLocalMachine, kKey));
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kLocalMachine, kKey, "ProgramFilesDir", &value));
}

#endif

}  // namespace
}  // namespace platform
