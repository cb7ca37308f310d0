#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/app_test_support.h"
#include "app/folders.h"
#include "app/messages.h"
#include "app/print_config.h"
#include "app/product.h"
#include "app/program_data.h"
#include "app/select_language.h"
#include "app/setup_config.h"
#include "platform/paths.h"
#include "platform/system_test_support.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

// A setup program in a temporary distribution folder with its setup.ini and
// first volume.
class ProgramDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kvtest::ResetLanguage();
    ASSERT_TRUE(kvtest::WriteBytes(temp_ / "setup.ini",
                                   "[Main]\r\nInstallDir=%PROGRAMFILESDIR%\\Kavrino\\KV4\r\nAutoRun=1\r\n"
                                   "[Setup]\r\nParams=/demo\r\n[ExcludeDir]\r\n1=SAMPLES\r\n"));
    ASSERT_TRUE(kvtest::WriteBytes(temp_ / "setup.dat", "PK"));
  }
  void TearDown() override {
    SetLanguageDialogView(nullptr);
    kvtest::ResetLanguage();
    ResetSetupOptions();
  }
  kvtest::TempDir temp_;
  const std::string program_ = temp_ / "setup.exe";
#ifndef _WIN32
  kvtest::TempDir prefix_;
  kvtest::ScopedEnv root_{"KVSETUP_ROOT", platform::HostPath(prefix_.path())};
#endif
};

class PickEnglish : public LanguageDialogView {
 public:
  void ShowModal(LanguageDialog& d) override {
    ++shown;
    d.radio1_checked = true;
    d.radio2_checked = false;
  }
  int shown = 0;
};

TEST_F(ProgramDataTest, CreationOrderFillsEverything) {
#ifndef _WIN32
  kvtest::ScopedEnv all("LC_ALL", "en_US.UTF-8");
  ASSERT_TRUE(platform::ForceDirectories(prefix_ / "drive_c\\Program Files"));
#endif
  StartLocaleUnit({"-lru"});  // the start-up choice; not final on a non-Russian system
  if (GetSystemLanguage() == "ru") GTEST_SKIP() << "needs a system that is not Russian";
  EXPECT_EQ(GetCurrentLanguage(), "ru");
  PrepareProgramData(program_);
  EXPECT_EQ(GetCurrentLanguage(), "en");
  EXPECT_EQ(SourceDir, temp_.path());
  EXPECT_FALSE(ProgramFilesDir.empty());
  EXPECT_EQ(IniInstallDir, ProgramFilesDir + "\\Kavrino\\KV4");
  EXPECT_TRUE(AutoRun);
  EXPECT_EQ(ParamsOverride, "/demo -len");
  EXPECT_EQ(ExcludeDirCount, 1);
  EXPECT_EQ(ArchiveName, "setup.dat");
  EXPECT_EQ(VolumeCount, 1);
  EXPECT_EQ(ProductVersion, "1.1");
  EXPECT_EQ(SetupCaption, "KV for STL Install");
  EXPECT_EQ(Links[0].LinkDir, ProgramsMenuDir + "\\KV for STL");
  EXPECT_EQ(CaptionInstall, "Install");
}

TEST_F(ProgramDataTest, RussianSystemAsksTheLanguageDialog) {
#ifndef _WIN32
  kvtest::ScopedEnv all("LC_ALL", "ru_RU.UTF-8");
#endif
  StartLocaleUnit({});
  if (GetSystemLanguage() != "ru") GTEST_SKIP() << "needs a Russian system";
  PrepareProgramData(program_);  // no window: the pre-selection (Russian UI) answers
  EXPECT_EQ(GetCurrentLanguage(), "ru");
  EXPECT_EQ(ParamsOverride, "/demo -lru");
  EXPECT_EQ(CaptionInstall, Cp1251("Установка"));

  kvtest::ResetLanguage();
  PickEnglish view;
  SetLanguageDialogView(&view);
  StartLocaleUnit({"-lru"});
  PrepareProgramData(program_);
  EXPECT_EQ(view.shown, 1);
  EXPECT_EQ(GetCurrentLanguage(), "en");
  EXPECT_EQ(ParamsOverride, "/demo -len");
  EXPECT_EQ(CaptionInstall, "Install");
}

TEST_F(ProgramDataTest, PrintConfigShowsFoldersOptionsAndLanguage) {
  StartLocaleUnit({"-len"});
  const std::string report = PrintConfig(program_, {"-len"});
  for (const char* expected : {"ProgramFilesDir", "SystemDir", "ProgramsMenuDir", "DesktopDir", "[Main] AutoRun",
                               "1 (on)", "final language", "-l option", "/demo -l", "SAMPLES", "present",
                               "Kavrino\\KV4  ([Main] InstallDir)"})
    EXPECT_NE(report.find(expected), std::string::npos) << expected << "\n" << report;
}

}  // namespace
}  // namespace app
