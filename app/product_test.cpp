#include <gtest/gtest.h>

#include <string>

#include "app/app_test_support.h"
#include "app/fixed_table.h"
#include "app/folders.h"
#include "app/install_dir_macro.h"
#include "app/messages.h"
#include "app/product.h"
#include "app/volumes.h"

namespace app {
namespace {

TEST(FixedTableTest, IndexesAreCheckedAgainstTheCapacity) {
  FixedTable<std::string, 4> t;
  t[0] = "a";
  t[3] = "d";
  EXPECT_EQ(t[3], "d");
  EXPECT_THROW(t[4], ERangeError);
  EXPECT_THROW(t[-1], ERangeError);
  int count = 3;
  AppendSlot(t, count, "x");
  EXPECT_EQ(count, 4);
  EXPECT_THROW(AppendSlot(t, count, "y"), ERangeError);
  EXPECT_EQ(count, 4);  // a failed append counts nothing
}

TEST(ExpandInstallDirTest, EveryOccurrenceInAnyCase) {
  struct Case {
    const char* text;
    const char* install_dir;
    const char* expected;
  } cases[] = {
      {"%installdir%\\LIB", "D:\\KV4", "D:\\KV4\\LIB"},
      {"%InstallDir%\\a;%INSTALLDIR%\\b", "D:\\KV4", "D:\\KV4\\a;D:\\KV4\\b"},
      {"no macro", "D:\\KV4", "no macro"},
      {"%InstallDir", "D:\\KV4", "%InstallDir"},
      {"%InstallDir%", "", ""},
      // A destination that itself holds the macro text: only the occurrences of
      // the input are replaced, and the expansion ends.
      {"%InstallDir%\\x", "C:\\%INSTALLDIR%", "C:\\%INSTALLDIR%\\x"},
      {"%InstallDir%%installdir%", "%InstallDir%", "%InstallDir%%InstallDir%"},
      {"\"%InstallDir%\\UNINST\\kvforstl1_0.log\"", "C:\\Program Files\\KV4",
       "\"C:\\Program Files\\KV4\\UNINST\\kvforstl1_0.log\""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandInstallDir(c.text, c.install_dir), c.expected) << c.text;
  InstallDir = "E:\\X";
  EXPECT_EQ(ExpandInstallDir("%InstallDir%\\LIB"), "E:\\X\\LIB");
  InstallDir.clear();
}

TEST(VolumesTest, NamesOfTheVolumes) {
  EXPECT_EQ(VolumeSuffix(1), "");
  EXPECT_EQ(VolumeSuffix(2), "2");
  EXPECT_EQ(VolumeSuffix(12), "12");
  SetArchiveName("C:\\dist\\setup.exe");
  EXPECT_EQ(ArchiveName, "setup.dat");
  SourceDir = "D:";
  EXPECT_EQ(VolumePath(1), "D:\\setup.dat");
  EXPECT_EQ(VolumePath(2), "D:\\setup.dat2");
  EXPECT_EQ(VolumeFileName(3), "setup.dat3");
  SetArchiveName("/opt/kv.1/kvsetup");  // the Linux program has no extension
  EXPECT_EQ(ArchiveName, "kvsetup.dat");
  SourceDir.clear();
}

class ProductTest : public ::testing::Test {
 protected:
  void Fill(const char* language) {
    kvtest::UseLanguage(language);
    ProgramsMenuDir = "C:\\Users\\u\\Programs";
    SystemDir = "C:\\WINDOWS\\system32";
    FillMessages();
    FillProductDefinition();
  }
  void TearDown() override {
    kvtest::ResetLanguage();
    ProgramsMenuDir.clear();
    SystemDir.clear();
  }
};

TEST_F(ProductTest, ShortcutsAreComputedFromTheFolders) {
  Fill("en");
  ASSERT_EQ(LinkCount, 5);
  EXPECT_EQ(Links[0].LinkDir, "C:\\Users\\u\\Programs\\KV for STL");
  EXPECT_EQ(Links[0].FileName, "%InstallDir%\\KVforSTL\\KVforSTL.chm");
  EXPECT_EQ(Links[2].FileName, "C:\\WINDOWS\\system32\\dravunel.exe");
  EXPECT_EQ(Links[2].Params, "\"%InstallDir%\\UNINST\\kvforstl1_0.log\"");
  EXPECT_EQ(Links[2].WorkDir, "C:\\WINDOWS\\system32");
  EXPECT_EQ(Links[2].LinkDir, "%InstallDir%\\UNINST");
  EXPECT_EQ(Links[3].LinkDir, "C:\\Users\\u\\Programs\\KV for STL");
  EXPECT_EQ(Links[3].Params, Links[2].Params);
  EXPECT_EQ(Links[4].LinkName, "KV for STL Readme (en)");
  EXPECT_EQ(Links[5].FileName, "");  // beyond the count
}

TEST_F(ProductTest, CountsKeepUnusedSlotsOutOfForce) {
  Fill("en");
  EXPECT_EQ(BaseFileCount, 8);
  EXPECT_EQ(BaseFiles[7], "LIB\\KV4__.txt");
  EXPECT_EQ(DirCount, 1);
  EXPECT_EQ(Dirs[0], "%InstallDir%\\LIB");
  EXPECT_EQ(PreserveFileCount, 0);
  EXPECT_EQ(PreserveFiles[1], "KV.INI");
  EXPECT_EQ(UninstallExtraCount, 0);
  EXPECT_EQ(EnvCount, 0);
  EXPECT_EQ(EnvCodes[8], "CBLOCKS13");
  EXPECT_EQ(FileExtCount, 0);
  EXPECT_EQ(RunDir, "%InstallDir%");
  EXPECT_EQ(GroupName, "\\KV for STL");
  EXPECT_EQ(LogFileName, "kvforstl1_0.log");
  EXPECT_EQ(EnvListHeight, 185);
  EXPECT_FALSE(EnvAllowNone);
}

TEST_F(ProductTest, UninstallTextsAndNounsByLanguage) {
  Fill("en");
  EXPECT_EQ(ProductNoun, "system");
  EXPECT_EQ(ProductNounGen, "system");
  EXPECT_EQ(UninstallTexts[1], "Do you want to uninstall KV for STL?");
  Fill("ru");
  EXPECT_EQ(ProductNoun, Cp1251("задачник"));
  EXPECT_EQ(ProductNounGen, Cp1251("задачника"));
  EXPECT_EQ(UninstallTexts[0], Cp1251("Удаление KV for STL"));
  EXPECT_EQ(UninstallTexts[3], Cp1251("Задачник KV for STL удален, за исключением следующих файлов:"));
}

TEST_F(ProductTest, DefaultDestination) {
  ProgramFilesDir = "C:\\Program Files";
  EXPECT_EQ(DefaultInstallDir(), "C:\\Program Files\\KV4");
  ProgramFilesDir.clear();
  EXPECT_EQ(DefaultInstallDir(), "\\KV4");
}

}  // namespace
}  // namespace app
