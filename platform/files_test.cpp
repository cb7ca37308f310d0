#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

// A fresh folder below the current one, removed with its files afterwards.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(DirectoryExists(dir_)); }
  std::string Path(const char* name) const { return temp_ / name; }
  kvtest::TempDir temp_;
  const std::string dir_ = temp_.path();
};

TEST_F(FilesTest, WriteReadSeekSize) {
  FileError err;
  {
    File f = File::Open(Path("a.bin"), OpenMode::kCreate, &err);
    ASSERT_TRUE(f.IsOpen()) << FileErrorText(err);
    EXPECT_EQ(f.Write("hello world", 11, &err), 11);
    EXPECT_TRUE(f.Close());
  }
  File f = File::Open(Path("a.bin"), OpenMode::kRead, &err);
  ASSERT_TRUE(f.IsOpen());
  EXPECT_EQ(f.Size(), 11);
  char buf[32] = {};
  EXPECT_EQ(f.Seek(6, SeekOrigin::kBegin), 6);
  EXPECT_EQ(f.Read(buf, sizeof buf, &err), 5);
  EXPECT_EQ(std::string(buf, 5), "world");
  EXPECT_EQ(f.Read(buf, sizeof buf, &err), 0);
  EXPECT_EQ(f.Seek(-4, SeekOrigin::kEnd), 7);
  EXPECT_EQ(f.Seek(2, SeekOrigin::kCurrent), 9);
}

TEST_F(FilesTest, OpenMissingFileIsNotFound) {
  FileError err = FileError::kNone;
  File f = File::Open(Path("missing.bin"), OpenMode::kRead, &err);
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(err, FileError::kNotFound);
  File g = File::Open(Path("no\\such\\dir\\x.bin"), OpenMode::kCreate, &err);
  EXPECT_FALSE(g.IsOpen());
  EXPECT_EQ(err, FileError::kNotFound);
}

TEST_F(FilesTest, CreateTruncatesExistingFile) {
  FileError err;
  File::Open(Path("t.bin"), OpenMode::kCreate, &err).Write("0123456789", 10);
  File::Open(Path("t.bin"), OpenMode::kCreate, &err).Write("ab", 2);
  File f = File::Open(Path("t.bin"), OpenMode::kRead, &err);
  EXPECT_EQ(f.Size(), 2);
}

TEST_F(FilesTest, ForceDirectoriesCreatesParentsAndExistenceTests) {
  const std::string deep = Path("x\\y\\z");
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_FALSE(FileExists(deep));
  EXPECT_TRUE(ForceDirectories(deep + "\\"));  // trailing separator, already there
  EXPECT_TRUE(RemoveEmptyDirectory(deep));
  EXPECT_TRUE(RemoveEmptyDirectory(Path("x\\y")));
  EXPECT_TRUE(RemoveEmptyDirectory(Path("x")));
  EXPECT_FALSE(DirectoryExists(Path("x")));
}

TEST_F(FilesTest, DosTimeRoundTripsAndReadOnlyAttribute) {
  FileError err;
  File::Open(Path("d.txt"), OpenMode::kCreate, &err).Write("x", 1);
  // 2001-02-03 04:05:06 (DOS times have two-second steps).
  const uint32_t dos = (21u << 25) | (2u << 21) | (3u << 16) | (4u << 11) | (5u << 5) | 3u;
  EXPECT_TRUE(SetFileDosTime(Path("d.txt"), dos));
  EXPECT_EQ(FileDosTime(Path("d.txt")), static_cast<int64_t>(dos));
  EXPECT_TRUE(WriteFileAttributes(Path("d.txt"), kAttrReadOnly));
  EXPECT_NE(ReadFileAttributes(Path("d.txt")) & kAttrReadOnly, 0);
  EXPECT_EQ(FileDosTime(Path("d.txt")), static_cast<int64_t>(dos));
  EXPECT_EQ(ReadFileAttributes(Path("nothing.txt")), -1);
  EXPECT_NE(ReadFileAttributes(dir_) & kAttrDirectory, 0);
}

TEST_F(FilesTest, RenameRespectsReplaceFlag) {
  FileError err;
  File::Open(Path("a"), OpenMode::kCreate, &err).Write("A", 1);
  File::Open(Path("b"), OpenMode::kCreate, &err).Write("BB", 2);
  EXPECT_FALSE(RenameFile(Path("a"), Path("b"), false, &err));
  EXPECT_TRUE(RenameFile(Path("a"), Path("b"), true, &err));
  EXPECT_FALSE(FileExists(Path("a")));
  EXPECT_EQ(File::Open(Path("b"), OpenMode::kRead, &err).Size(), 1);
}

TEST_F(FilesTest, RemoveTreeRemovesNestedReadOnlyFiles) {
  ASSERT_TRUE(ForceDirectories(Path("t\\a\\b")));
  FileError err;
  File::Open(Path("t\\a\\b\\f"), OpenMode::kCreate, &err).Write("z", 1);
  WriteFileAttributes(Path("t\\a\\b\\f"), kAttrReadOnly);
  EXPECT_TRUE(RemoveTree(Path("t")));
  EXPECT_FALSE(DirectoryExists(Path("t")));
}

TEST(Drives, SystemDriveIsFixedAndHasNoRemovableLabelPath) {
  EXPECT_EQ(DriveType("C:\\"), kDriveFixed);
#ifdef _WIN32
  std::string label;
  EXPECT_TRUE(VolumeLabel("C:\\", &label));  // Wine gives its drives a (possibly empty) label
  EXPECT_NE(DriveType("Q:\\"), kDriveRemovable);  // no such drive
#else
  std::string label;
  EXPECT_FALSE(VolumeLabel("C:\\", &label));
#endif
}

TEST_F(FilesTest, ListDirectoryGivesNames) {
  FileError err;
  File::Open(Path("one"), OpenMode::kCreate, &err);
  ForceDirectories(Path("two"));
  auto names = ListDirectory(dir_);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"one", "two"}));
}

#ifndef _WIN32
TEST_F(FilesTest, LinuxPathsIgnoreLetterCaseOfExistingComponents) {
  ForceDirectories(Path("Mixed\\Case"));
  FileError err;
  File::Open(Path("Mixed\\Case\\File.TXT"), OpenMode::kCreate, &err).Write("q", 1);
  EXPECT_TRUE(FileExists(Path("MIXED\\case\\file.txt")));
  // New components keep the case they are given.
  ForceDirectories(Path("mixed\\NewOne"));
  EXPECT_TRUE(DirectoryExists(Path("Mixed\\NewOne")));
  EXPECT_FALSE(DirectoryExists(Path("newone")));
}

TEST_F(FilesTest, LinuxCaseLookupSeesFilesMadeBehindItsBack) {
  FileError err;
  for (int i = 0; i < 50; ++i)
    File::Open(Path(("Many" + std::to_string(i) + ".TXT").c_str()), OpenMode::kCreate, &err);
  EXPECT_TRUE(FileExists(Path("many49.txt")));
  EXPECT_FALSE(FileExists(Path("other.txt")));
  // Another program adds a file: the lookup must not rely on an old listing.
  std::FILE* f = std::fopen((HostPath(dir_) + "/Other.TXT").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(FileExists(Path("other.txt")));
  EXPECT_TRUE(FileExists(Path("OTHER.txt")));
}
#endif

}  // namespace
}  // namespace platform
