#include <gtest/gtest.h>

#include <string>

#include "app/folders.h"
#include "app/setup_config.h"
#include "platform/system_test_support.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

TEST(ProfileIntegerTest, DecimalAndHexadecimal) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"1", true, 1},        {"0", true, 0},          {"-7", true, -7},     {"+3", true, 3},
      {"0x10", true, 16},    {"0X1f", true, 31},      {"0xFFFFFFFF", true, -1},
      {"0x", false, 0},      {"0x1G", false, 0},      {"0x100000000", false, 0},
      {"yes", false, 0},     {"", false, 0},          {"1 ", false, 0},     {"1.0", false, 0},
      {"2147483647", true, 2147483647},               {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},                       {"99999999999999999999", false, 0},
      {"-", false, 0},       {"$10", false, 0},       {"010", true, 10},
  };
  for (const auto& c : cases) {
    int32_t v = 12345;
    EXPECT_EQ(ParseProfileInteger(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

class SetupConfigTest : public ::testing::Test {
 protected:
  void SetUp() override { ProgramFilesDir = "C:\\Program Files"; }
  void TearDown() override {
    ProgramFilesDir.clear();
    ResetSetupOptions();
  }
  void Read(const std::string& content) {
    ASSERT_TRUE(kvtest::WriteBytes(file_, content));
    ReadSetupConfig(file_);
  }
  kvtest::TempDir temp_;
  const std::string file_ = temp_ / "setup.ini";
};

TEST_F(SetupConfigTest, NoFileKeepsTheDefaults) {
  AutoRun = true;
  SelectDialog = false;
  ExcludeDirCount = 3;
  ReadSetupConfig(temp_ / "none.ini");
  EXPECT_EQ(IniInstallDir, "");
  EXPECT_FALSE(AutoRun);
  EXPECT_TRUE(SelectDialog);
  EXPECT_TRUE(FinalMessage);
  EXPECT_TRUE(StartMenu);
  EXPECT_TRUE(Desktop);
  EXPECT_TRUE(app::Run);
  EXPECT_EQ(ParamsOverride, "");
  EXPECT_EQ(ExcludeDirCount, 0);
}

TEST_F(SetupConfigTest, EveryKey) {
  Read("[main]\r\nINSTALLDIR=D:\\KV4\r\nautorun=1\r\nSelectDialog=0\r\nFinalMessage=0\r\n"
       "[LINKS]\r\nStartMenu=0\r\nDesktop=0\r\n"
       "[Setup]\r\nRun=0\r\nParams=/demo %STARTDIR%\\x\r\n");
  EXPECT_EQ(IniInstallDir, "D:\\KV4");
  EXPECT_TRUE(AutoRun);
  EXPECT_FALSE(SelectDialog);
  EXPECT_FALSE(FinalMessage);
  EXPECT_FALSE(StartMenu);
  EXPECT_FALSE(Desktop);
  EXPECT_FALSE(app::Run);
  EXPECT_EQ(ParamsOverride, "/demo %STARTDIR%\\x");
}

TEST_F(SetupConfigTest, BooleanTexts) {
  struct Case {
    const char* line;  // "" for no key
    bool auto_run;     // default false
    bool select;       // default true
  } cases[] = {
      {"", false, true},
      {"AutoRun=1\r\nSelectDialog=0", true, false},
      {"AutoRun=0\r\nSelectDialog=0x10", false, true},
      {"AutoRun=yes\r\nSelectDialog=no", false, true},  // no number: defaults
      {"AutoRun=-1\r\nSelectDialog=0x0", true, false},
      {"AutoRun=0x\r\nSelectDialog=0x", false, true},
      {"AutoRun=\r\nSelectDialog=", false, true},
      {"AutoRun = \"1\"\r\nSelectDialog='0'", true, false},  // quotes go before the number is read
  };
  for (const auto& c : cases) {
    Read(std::string("[Main]\r\n") + c.line + "\r\n");
    EXPECT_EQ(AutoRun, c.auto_run) << c.line;
    EXPECT_EQ(SelectDialog, c.select) << c.line;
  }
}

TEST_F(SetupConfigTest, ProgramFilesMacroFirstOccurrenceOnly) {
  Read("[Main]\r\nInstallDir=%ProgramFilesDir%\\KV4\r\n");
  EXPECT_EQ(IniInstallDir, "C:\\Program Files\\KV4");
  Read("[Main]\r\nInstallDir=%programfilesdir%\\A\\%PROGRAMFILESDIR%\r\n");
  EXPECT_EQ(IniInstallDir, "C:\\Program Files\\A\\%PROGRAMFILESDIR%");
  ProgramFilesDir.clear();
  Read("[Main]\r\nInstallDir=%PROGRAMFILESDIR%\\KV4\r\n");
  EXPECT_EQ(IniInstallDir, "\\KV4");
}

TEST_F(SetupConfigTest, LongInstallDirIsCutToTheBuffer) {
  Read("[Main]\r\nInstallDir=C:\\" + std::string(3000, 'd') + "\r\n");
  EXPECT_EQ(IniInstallDir.size(), 2047u);
}

TEST_F(SetupConfigTest, ExcludeDirStopsAtTheFirstGapAndAfterTwenty) {
  Read("[ExcludeDir]\r\n1=DELPHI7\r\n2=samples\r\n4=never\r\n");
  ASSERT_EQ(ExcludeDirCount, 2);
  EXPECT_EQ(ExcludeDirs[0], "DELPHI7");
  EXPECT_EQ(ExcludeDirs[1], "samples");
  EXPECT_EQ(ExcludeDirs[2], "");

  std::string all = "[ExcludeDir]\r\n";
  for (int i = 1; i <= 25; ++i) all += std::to_string(i) + "=dir" + std::to_string(i) + "\r\n";
  Read(all);
  ASSERT_EQ(ExcludeDirCount, 20);
  EXPECT_EQ(ExcludeDirs[19], "dir20");
  EXPECT_EQ(ExcludeDirs[20], "");

  Read("[ExcludeDir]\r\n1=a\r\n2=\r\n3=c\r\n");  // an empty value stops too
  EXPECT_EQ(ExcludeDirCount, 1);
}

TEST(RunParamsTest, LanguageOptionIsAddedToTheConfiguredParams) {
  EXPECT_EQ(RunParamsWithLanguage("", "ru"), "-lru");
  EXPECT_EQ(RunParamsWithLanguage("", "en"), "-len");
  EXPECT_EQ(RunParamsWithLanguage("/demo", "en"), "/demo -len");
}

TEST(SetupConfigPathTest, BesideTheProgram) {
  EXPECT_EQ(SetupConfigPath("D:\\dist\\setup.exe"), "D:\\dist\\setup.ini");
  EXPECT_EQ(SetupConfigPath("D:\\v1.2\\kvsetup"), "D:\\v1.2\\kvsetup.ini");
  EXPECT_EQ(SetupConfigPath("/opt/kv.d/kvsetup"), "/opt/kv.d/kvsetup.ini");
}

}  // namespace
}  // namespace app
