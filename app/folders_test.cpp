#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/folders.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system_test_support.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

TEST(SourceDirTest, FolderOfTheProgram) {
  EXPECT_EQ(SourceDirOf("C:\\dist\\setup.exe"), "C:\\dist");
  EXPECT_EQ(SourceDirOf("D:\\setup.exe"), "D:");  // a drive's root loses its "\"
  EXPECT_EQ(SourceDirOf("\\\\server\\share\\setup.exe"), "\\\\server\\share");
  EXPECT_EQ(SourceDirOf("/opt/kv/kvsetup"), "/opt/kv");
  EXPECT_EQ(SourceDirOf("/kvsetup"), "/");
}

// A machine whose existing folders are listed.
FolderProbe Machine(std::set<std::string> folders) {
  return [folders = std::move(folders)](const std::string& f) { return folders.count(f) != 0; };
}

TEST(ProgramFilesScanTest, DriveOrderThenX86PreferenceOnOneDrive) {
  struct Case {
    std::set<std::string> folders;
    const char* expected;
  } cases[] = {
      {{"C:\\", "C:\\Program Files\\", "D:\\", "D:\\Program Files (x86)\\"}, "C:\\Program Files"},
      {{"C:\\", "C:\\Program Files\\", "C:\\Program Files (x86)\\"}, "C:\\Program Files (x86)"},
      {{"C:\\", "E:\\", "E:\\Program Files\\"}, "E:\\Program Files"},
      {{"Z:\\", "Z:\\Program Files (x86)\\"}, "Z:\\Program Files (x86)"},
      {{"C:\\", "D:\\"}, ""},
      {{"A:\\Program Files\\", "B:\\Program Files\\"}, ""},  // the scan starts at C
  };
  for (const auto& c : cases) {
    std::string folder;
    FindProgramFilesDir(folder, Machine(c.folders));
    EXPECT_EQ(folder, c.expected);
  }
  std::string given = "X:\\Given";
  FindProgramFilesDir(given, Machine({"C:\\Program Files\\"}));
  EXPECT_EQ(given, "X:\\Given");  // a folder already found stays
}

TEST(ProgramFilesScanTest, FirstDriveRoot) {
  std::string folder;
  FindFirstDriveRoot(folder, Machine({"A:\\", "E:\\", "F:\\"}));
  EXPECT_EQ(folder, "E:");
  folder.clear();
  FindFirstDriveRoot(folder, Machine({}));
  EXPECT_EQ(folder, "");
}

#ifndef _WIN32

// A Wine-style prefix prepared by the test: drives in dosdevices, a registry
// file, the Program Files folders.
class PrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A plain file named z: hides the host root, which would otherwise be drive Z:.
    ASSERT_TRUE(platform::ForceDirectories(temp_ / "dosdevices"));
    ASSERT_TRUE(kvtest::WriteBytes(temp_ / "dosdevices\\z:", ""));
  }
  // A drive: a folder in dosdevices, as a link to one would be.
  void Drive(const char* drive) { ASSERT_TRUE(platform::ForceDirectories(temp_ / (std::string("dosdevices\\") + drive))); }
  void Registry(const char* program_files) {
    ASSERT_TRUE(kvtest::WriteBytes(temp_ / "system.reg",
                                   std::string("WINE REGISTRY Version 2\n\n"
                                               "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
                                               "\"CommonFilesDir\"=\"C:\\\\Common\"\n") +
                                       (program_files ? std::string("\"ProgramFilesDir\"=\"") + program_files + "\"\n"
                                                      : std::string())));
  }
  kvtest::TempDir temp_;
  kvtest::ScopedEnv root_{"KVSETUP_ROOT", platform::HostPath(temp_.path())};
};

TEST_F(PrefixTest, RegistryValueWins) {
  Drive("c:");
  ASSERT_TRUE(platform::ForceDirectories("C:\\Program Files"));
  Registry("E:\\\\Programs");  // escaped as in the file
  FindSourceAndProgramFiles("C:\\dist\\setup.exe");
  EXPECT_EQ(SourceDir, "C:\\dist");
  EXPECT_EQ(ProgramFilesDir, "E:\\Programs");
}

TEST_F(PrefixTest, DriveScanWithoutRegistryValue) {
  Drive("c:");
  Drive("d:");
  ASSERT_TRUE(platform::ForceDirectories("C:\\program files"));  // found without regard to case
  ASSERT_TRUE(platform::ForceDirectories("D:\\Program Files (x86)"));
  Registry(nullptr);
  FindSourceAndProgramFiles("D:\\setup.exe");
  EXPECT_EQ(SourceDir, "D:");
  EXPECT_EQ(ProgramFilesDir, "C:\\Program Files");
}

TEST_F(PrefixTest, X86FolderFirstOnItsDrive) {
  Drive("d:");
  ASSERT_TRUE(platform::ForceDirectories("D:\\Program Files"));
  ASSERT_TRUE(platform::ForceDirectories("D:\\Program Files (x86)"));
  FindSourceAndProgramFiles("D:\\setup.exe");  // no registry file at all
  EXPECT_EQ(ProgramFilesDir, "D:\\Program Files (x86)");
}

TEST_F(PrefixTest, DriveRootsWhenNoProgramFilesFolder) {
  Drive("f:");
  Drive("g:");
  FindSourceAndProgramFiles("F:\\setup.exe");
  EXPECT_EQ(ProgramFilesDir, "F:");
}

TEST_F(PrefixTest, NoDriveAtAll) {
  FindSourceAndProgramFiles("/opt/kvsetup");
  EXPECT_EQ(ProgramFilesDir, "");
}

TEST_F(PrefixTest, SystemFoldersOfWinesLayout) {
  FindSystemFolders();
  EXPECT_EQ(SystemDir, "C:\\windows\\system32");
  EXPECT_EQ(ProgramsMenuDir.substr(0, 9), "C:\\users\\");
  EXPECT_NE(ProgramsMenuDir.find("\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"), std::string::npos);
  EXPECT_EQ(DesktopDir.substr(DesktopDir.size() - 8), "\\Desktop");
}

#else

TEST(SystemFoldersTest, FoundOnThisSystem) {
  FindSourceAndProgramFiles(platform::ExecutablePath());
  EXPECT_TRUE(platform::DirectoryExists(SourceDir)) << SourceDir;
  EXPECT_TRUE(platform::DirectoryExists(ProgramFilesDir)) << ProgramFilesDir;
  FindSystemFolders();
  EXPECT_TRUE(platform::DirectoryExists(SystemDir)) << SystemDir;
  EXPECT_FALSE(ProgramsMenuDir.empty());
  EXPECT_FALSE(DesktopDir.empty());
}

#endif

}  // namespace
}  // namespace app
