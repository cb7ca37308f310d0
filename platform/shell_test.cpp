#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/shell.h"

namespace platform {
namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ShellTest, SystemFolder) {
  const std::string dir = SystemDirectory();
  ASSERT_GE(dir.size(), 3u);
  EXPECT_EQ(dir.substr(1, 2), ":\\");
  EXPECT_NE(dir.back(), '\\');
#ifdef _WIN32
  EXPECT_TRUE(DirectoryExists(dir)) << dir;
#else
  EXPECT_EQ(dir, "C:\\windows\\system32");
#endif
}

TEST(ShellTest, ProgramsAndDesktopFolders) {
  std::string programs, desktop;
  ASSERT_TRUE(SpecialFolderPath(SpecialFolder::kPrograms, &programs));
  ASSERT_TRUE(SpecialFolderPath(SpecialFolder::kDesktopDirectory, &desktop));
  // The layout Wine (and Windows since Vista) gives.
  EXPECT_TRUE(EndsWith(programs, "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs")) << programs;
  EXPECT_TRUE(EndsWith(desktop, "\\Desktop")) << desktop;
  EXPECT_EQ(programs.substr(0, 9), desktop.substr(0, 9));  // "C:\users\" of the same profile
}

}  // namespace
}  // namespace platform
