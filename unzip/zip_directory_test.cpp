// The directory model: records, DOS times, percentages, the end record, the
// central directory, the local-header scan and the sort orders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/ui.h"
#include "unzip/reader_test_util.h"
#include "unzip/unzip.h"

using namespace readertest;

namespace {

struct DosCase {
  uint32_t in, out;
};

TEST(FixDosDateTime, ClampsEachFieldAndKeepsValidValues) {
  const DosCase cases[] = {
      {0x00000000, 0x00210000},                      // month 0, day 0 -> 1 January 1980
      {0x2A434A23, 0x2A434A23},                      // valid: bit for bit
      {(21u << 25) | (2u << 21) | (3u << 16) | (24u << 11), (21u << 25) | (2u << 21) | (3u << 16) | (24u << 11)},
      {(21u << 25) | (2u << 21) | (3u << 16) | (31u << 11), (21u << 25) | (2u << 21) | (3u << 16) | (24u << 11)},
      {(21u << 25) | (2u << 21) | (3u << 16) | (63u << 5), (21u << 25) | (2u << 21) | (3u << 16) | (59u << 5)},
      {(21u << 25) | (2u << 21) | (3u << 16) | 31u, (21u << 25) | (2u << 21) | (3u << 16) | 29u},
      {(21u << 25) | (15u << 21) | (3u << 16), (21u << 25) | (12u << 21) | (3u << 16)},
      {(127u << 25) | (1u << 21) | (1u << 16), (119u << 25) | (1u << 21) | (1u << 16)},  // year 2107 -> 2099
  };
  for (const DosCase& c : cases) EXPECT_EQ(FixDosDateTime(c.in), c.out) << std::hex << c.in;
}

TEST(PercentOf, RoundsHalvesToEvenCapsAndStaysUnsigned) {
  struct {
    int64_t whole, part;
    int want;
  } cases[] = {
      {0, 5, 0},      {-3, 5, 0},   {200, 1, 0},  // 0.5 -> 0
      {200, 3, 2},                                // 1.5 -> 2
      {200, 5, 2},                                // 2.5 -> 2
      {10, 20, 100},  {3, 1, 33},
      {3000000000LL, 1500000000LL, 50},           // sizes above 2 GB
      {4294967295LL, 4294967295LL, 100},
  };
  for (const auto& c : cases) EXPECT_EQ(PercentOf(c.whole, c.part), c.want) << c.whole << " " << c.part;
}

TEST(StoredNames, SplitIntoFolderAndNameWithBackslashes) {
  struct {
    const char* raw;
    const char* dir;
    const char* name;
  } cases[] = {
      {"dir/sub/file.txt", "dir\\sub\\", "file.txt"},
      {"dir/", "dir\\", ""},
      {"file.txt", "", "file.txt"},
      {"C:file.txt", "C:", "file.txt"},
  };
  for (const auto& c : cases) {
    std::string dir, name;
    SplitStoredName(ConvertStoredName(c.raw, 0), dir, name);
    EXPECT_EQ(dir, c.dir) << c.raw;
    EXPECT_EQ(name, c.name) << c.raw;
  }
}

#ifndef _WIN32
TEST(StoredNames, OemNamesBecomeAnsi) {
  // Code page 866 "А" (0x80) and "я" (0xEF) are 0xC0 and 0xFF in code page 1251.
  EXPECT_EQ(ConvertStoredName("\x80/\xEF.txt", 0), "\xC0\\\xFF.txt");
}
#endif

TEST(ZipHeaderInfo, SettersKeepNameLengthAndTrailingBackslash) {
  TZipHeaderInfo e;
  EXPECT_EQ(e.Method, 8);
  EXPECT_EQ(e.Crc32, 0xFFFFFFFFu);
  EXPECT_EQ(e.ExternalAttributes, 32u);
  e.SetStoredDir("dir");
  e.SetStoredName("f.txt");
  EXPECT_EQ(e.StoredDir(), "dir\\");
  EXPECT_EQ(e.NameLength, 9);
  e.SetCommentText("note");
  EXPECT_EQ(e.CommentLength, 4);
  TZipHeaderInfo copy;
  copy.Assign(e);
  EXPECT_EQ(copy.StoredPath(), "dir\\f.txt");
  ASSERT_NE(copy.CommentText(), nullptr);
  EXPECT_EQ(*copy.CommentText(), "note");
  TEndCentral end;
  EXPECT_THROW(copy.Assign(end), platform::Exception);
}

// ---------------------------------------------------------------------------
// Reading directories

class DirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetHeadlessQuiet(true); }
  void TearDown() override { platform::SetHeadlessQuiet(false); }
  std::string Write(const std::string& name, const Bytes& data) {
    const std::string path = tmp_.Sub(name);
    WriteBytes(path, data);
    return path;
  }
  std::vector<std::string> Paths(TUnZip& uz) {
    std::vector<std::string> out;
    for (int i = 0; i < uz.EntryCount(); ++i) out.push_back(uz.EntryPath(i));
    return out;
  }
  TempDir tmp_;
};

TEST_F(DirectoryTest, ReadsTheCentralDirectoryOfRealTools) {
  struct {
    const char* fixture;
    int entries;
  } cases[] = {{"zip_stored.zip", 6}, {"7z_zipcrypto.zip", 6}, {"py_stored.zip", 3}, {"zip_pipe_pw.zip", 3}};
  for (const auto& c : cases) {
    TUnZip uz;
    uz.SetZipName(Fixture(c.fixture));
    uz.OpenArchive();
    EXPECT_EQ(uz.EntryCount(), c.entries) << c.fixture;
    EXPECT_FALSE(uz.DirectoryRebuilt()) << c.fixture;
  }
}

TEST_F(DirectoryTest, EndRecordSearch) {
  // Shorter than an end record: no end record, so an incomplete archive.
  TUnZip uz;
  uz.SetZipName(Write("short.zip", ToBytes("PK\x05\x06 short")));
  EXPECT_THROW(uz.OpenArchive(), EIncompleteZip);
  EXPECT_EQ(uz.ZipName(), "");

  // A comment longer than 65506 bytes puts the record outside the searched tail.
  const Bytes empty = BuildArchive({}, std::string(65507, 'c'));
  uz.SetZipName(Write("long_comment.zip", empty));
  EXPECT_THROW(uz.OpenArchive(), EIncompleteZip);
  uz.SetZipName(Write("ok_comment.zip", BuildArchive({}, std::string(65506, 'c'))));
  uz.OpenArchive();
  EXPECT_EQ(uz.EntryCount(), 0);

  // A comment that holds the signature: the record whose comment reaches the
  // end of the file is the real one.
  uz.SetZipName(Fixture("py_comment_sig.zip"));
  uz.OpenArchive();
  EXPECT_EQ(uz.EntryCount(), 1);
  EXPECT_EQ(uz.ArchiveComment().substr(0, 4), "PK\x05\x06");
}

TEST_F(DirectoryTest, NotAZipFile) {
  Bytes junk(5000);
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(i * 7);
  const std::string path = Write("junk.zip", junk);
  TUnZip uz;
  uz.SetZipName(path);
  try {
    uz.OpenArchive();
    FAIL() << "no exception";
  } catch (const EIncompleteZip& e) {
    EXPECT_STREQ(e.what(), "Incomplete Zip File");
  }
  uz.SetZipName(path);
  uz.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  try {
    uz.OpenArchive();
    FAIL() << "no exception";
  } catch (const EBadZipFile& e) {
    EXPECT_STREQ(e.what(), "Not a valid zip file!");
  }
  EXPECT_EQ(uz.ZipName(), "");
  uz.SetZipName(tmp_.Sub("missing.zip"));
  EXPECT_THROW(uz.OpenArchive(), platform::EFOpenError);
}

TEST_F(DirectoryTest, Zip64ArchivesAreRefused) {
  TUnZip uz;
  uz.SetZipName(Fixture("zip64.zip"));
  EXPECT_THROW(uz.OpenArchive(), EBadZipFile);
  EXPECT_EQ(uz.ZipName(), "");
}

TEST_F(DirectoryTest, IncompleteHandlerMayAskForAScan) {
  Bytes data = ReadBytes(Fixture("zip_stored.zip"));
  data.resize(data.size() - 10);  // the end record is cut
  TUnZip uz;
  int asked = 0;
  uz.OnInCompleteZip = [&](TUnZip&, TIncompleteZipMode& mode) {
    ++asked;
    mode = TIncompleteZipMode::izAssumeBad;
  };
  uz.SetZipName(Write("cut.zip", data));
  uz.OpenArchive();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(uz.DirectoryRebuilt());
  EXPECT_EQ(uz.EntryCount(), 6);
}

// No central directory at the recorded offset: the local headers are scanned
// and the central headers that follow them merged by offset.
TEST_F(DirectoryTest, BrokenDirectoryIsRebuiltFromLocalHeaders) {
  size_t dir = 0;
  Bytes data = BuildArchive({{.name = "a.txt", .data = ToBytes("alpha"), .external = 0x21},
                             {.name = "d/b.txt", .data = ToBytes("beta")}},
                            "", &dir);
  Set32(data, data.size() - 6, static_cast<uint32_t>(dir + 1));
  TUnZip uz;
  uz.SetZipName(Write("moved.zip", data));
  uz.OpenArchive();
  EXPECT_TRUE(uz.DirectoryRebuilt());
  ASSERT_EQ(uz.EntryCount(), 2);
  EXPECT_EQ(Paths(uz), (std::vector<std::string>{"a.txt", "d\\b.txt"}));
  EXPECT_EQ(uz.Entry(0).ExternalAttributes, 0x21u);
  EXPECT_EQ(uz.Entry(1).VersionMadeBy, 20);

  // The first central header is unreadable: the scan's entries stay as the
  // local headers describe them.
  data[dir] = 'X';
  uz.SetZipName(Write("broken.zip", data));
  uz.OpenArchive();
  ASSERT_EQ(uz.EntryCount(), 2);
  EXPECT_EQ(uz.Entry(0).ExternalAttributes, 0u);
  EXPECT_EQ(uz.Entry(1).VersionMadeBy, 0);
}

// A central header that fails to read ends the directory: never an entry with
// default values (disk 0, offset 0) that could overwrite the entry at offset 0
// or raise a duplicate error.
TEST_F(DirectoryTest, UnreadableCentralHeaderMakesTheArchiveInvalid) {
  size_t dir = 0;
  const std::vector<HandEntry> entries = {{.name = "a.txt", .data = ToBytes("alpha")},
                                          {.name = "b.txt", .data = ToBytes("beta")},
                                          {.name = "c.txt", .data = ToBytes("gamma")}};
  Bytes data = BuildArchive(entries, "", &dir);
  // The second central header (46 + 5 bytes after the first) loses its signature.
  data[dir + 46 + 5] = 'X';
  TUnZip uz;
  uz.SetZipName(Write("bad_second.zip", data));
  try {
    uz.OpenArchive();
    FAIL() << "no exception";
  } catch (const EBadZipFile& e) {
    EXPECT_STREQ(e.what(), "Not a valid zip file!");
  }
  EXPECT_EQ(uz.ZipName(), "");

  // In a rebuilt directory the scanned entries stay.
  data[dir] = 'X';
  uz.SetZipName(Write("bad_both.zip", data));
  uz.OpenArchive();
  EXPECT_TRUE(uz.DirectoryRebuilt());
  EXPECT_EQ(Paths(uz), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(DirectoryTest, PrefixedDataIsFoundByTheScan) {
  Bytes data = ReadBytes(Fixture("zip_stored.zip"));
  Bytes prefixed(3000, 'x');
  prefixed.insert(prefixed.end(), data.begin(), data.end());
  TUnZip uz;
  uz.SetZipName(Write("prefixed.zip", prefixed));
  uz.OpenArchive();
  EXPECT_TRUE(uz.DirectoryRebuilt());
  EXPECT_EQ(uz.EntryCount(), 6);
  EXPECT_EQ(uz.Entry(0).LocalHeaderOffset, 3000u);
}

// Entries with data descriptors and sizes 0 in the local headers: the scan
// searches for the descriptor instead of seeking by the local sizes.
TEST_F(DirectoryTest, ScanFindsEntriesBehindDataDescriptors) {
  Bytes data = ReadBytes(Fixture("py_stream.zip"));
  const size_t dir = Get32(data, data.size() - 6);
  data[dir] = 'X';
  TUnZip uz;
  uz.SetZipName(Write("stream_broken.zip", data));
  uz.OpenArchive();
  EXPECT_TRUE(uz.DirectoryRebuilt());
  ASSERT_EQ(uz.EntryCount(), 3);
  const Bytes rand = ReadBytes(Fixture("payload\\sub\\deeper\\rand.bin"));
  const TZipHeaderInfo& e = uz.Entry(2);
  EXPECT_EQ(e.StoredPath(), "sub\\deeper\\rand.bin");
  EXPECT_EQ(e.UnpackedSize, rand.size());
  EXPECT_EQ(e.Crc32, Crc(rand));
  EXPECT_TRUE(e.SizesKnown);
}

TEST_F(DirectoryTest, ExeNamedArchivesAreScannedFrom14000) {
  // A fake local header at offset 100 of the program part, the archive at 20000.
  Bytes data(20000, 0);
  const Bytes fake = BuildArchive({{.name = "fake.txt", .data = ToBytes("fake")}});
  std::copy(fake.begin(), fake.begin() + 30 + 8 + 4, data.begin() + 100);
  size_t dir = 0;
  Bytes real = BuildArchive({{.name = "real.txt", .data = ToBytes("real")}}, "", &dir);
  real[dir] = 'X';
  data.insert(data.end(), real.begin(), real.end());
  TUnZip uz;
  uz.SetZipName(Write("SETUP.EXE", data));
  uz.OpenArchive();
  EXPECT_EQ(Paths(uz), (std::vector<std::string>{"real.txt"}));
  uz.SetZipName(Write("setup2.exe", data));
  uz.OpenArchive();
  EXPECT_EQ(Paths(uz).front(), "fake.txt");
}

// The scan pumps window messages once per 10240 bytes that are not a "P",
// and only with DoProcessMessages.
class CountingUi : public platform::Ui {
 public:
  platform::ModalResult ShowMessage(std::string_view, std::string_view, platform::MsgKind, unsigned) override {
    return platform::ModalResult::kOk;
  }
  void ProcessMessages() override { ++pumped; }
  void SetCursor(platform::Cursor c) override { cursors.push_back(c); }
  bool OpenFileDialog(std::string_view, std::string_view, std::string_view, std::string&) override { return false; }
  bool SelectFolderDialog(std::string_view, std::string&) override { return false; }
  int pumped = 0;
  std::vector<platform::Cursor> cursors;
};

TEST_F(DirectoryTest, ScanPumpsMessagesEvery10240Bytes) {
  Bytes data(30000, 'x');
  const Bytes archive = BuildArchive({{.name = "a.txt", .data = ToBytes("alpha")}});
  data.insert(data.end(), archive.begin(), archive.end());
  const std::string path = Write("pumped.zip", data);
  for (const bool pump : {true, false}) {
    CountingUi ui;
    platform::SetUi(&ui);
    TUnZip uz;
    uz.DoProcessMessages = pump;
    uz.SetZipName(path);
    uz.OpenArchive();
    platform::SetUi(nullptr);
    EXPECT_TRUE(uz.DirectoryRebuilt());
    EXPECT_EQ(ui.pumped, pump ? 2 : 0);
    EXPECT_EQ(ui.cursors, (std::vector<platform::Cursor>{platform::Cursor::kHourGlass, platform::Cursor::kDefault}));
  }
}

TEST_F(DirectoryTest, SortModes) {
  // Sizes above 2 GB sort as the unsigned numbers they are.
  const std::vector<HandEntry> entries = {
      {.name = "b/z.txt", .data = {}, .dos_time = 0x2A434A23, .override_sizes = true, .packed = 0x90000000u,
       .unpacked = 0x90000000u},
      {.name = "a/y.txt", .data = {}, .dos_time = 0x2B434A23, .override_sizes = true, .packed = 10, .unpacked = 20},
      {.name = "c/x.txt", .data = {}, .dos_time = 0x2A434A23, .override_sizes = true, .packed = 0x7FFFFFF0u,
       .unpacked = 0xF0000000u},
  };
  const std::string path = Write("sort.zip", BuildArchive(entries));
  struct {
    TZipSortMode mode;
    std::vector<std::string> order;
  } cases[] = {
      {TZipSortMode::ByNone, {"b\\z.txt", "a\\y.txt", "c\\x.txt"}},
      {TZipSortMode::ByName, {"a\\y.txt", "b\\z.txt", "c\\x.txt"}},
      {TZipSortMode::ByFileName, {"c\\x.txt", "a\\y.txt", "b\\z.txt"}},
      {TZipSortMode::ByDirectoryName, {"a\\y.txt", "b\\z.txt", "c\\x.txt"}},
      // Newest first; the two equal times keep archive order.
      {TZipSortMode::ByDate, {"a\\y.txt", "b\\z.txt", "c\\x.txt"}},
      {TZipSortMode::ByCompressedSize, {"b\\z.txt", "c\\x.txt", "a\\y.txt"}},
      {TZipSortMode::ByUnCompressedSize, {"c\\x.txt", "b\\z.txt", "a\\y.txt"}},
      // Packed/unpacked: 100 %, 50 %, 53 %.
      {TZipSortMode::ByRate, {"b\\z.txt", "c\\x.txt", "a\\y.txt"}},
  };
  for (const auto& c : cases) {
    TUnZip uz;
    uz.SortMode = c.mode;
    uz.SetZipName(path);
    uz.OpenArchive();
    EXPECT_EQ(Paths(uz), c.order) << static_cast<int>(c.mode);
  }
  // ApplySortMode switches the view at once.
  TUnZip uz;
  uz.SetZipName(path);
  uz.OpenArchive();
  uz.ApplySortMode(TZipSortMode::ByName);
  EXPECT_EQ(uz.SortMode, TZipSortMode::ByName);
  EXPECT_EQ(uz.EntryPath(0), "a\\y.txt");
}

TEST_F(DirectoryTest, CommentsOnDemand) {
  TUnZip uz;
  uz.SetZipName(Fixture("py_stored.zip"));
  uz.OpenArchive();
  EXPECT_EQ(uz.ArchiveComment(), "archive comment");
  EXPECT_EQ(uz.EntryComment(1), "comment of sub/b.txt");
  EXPECT_EQ(uz.EntryComment(1), "comment of sub/b.txt");
  try {
    uz.EntryComment(3);
    FAIL() << "no exception";
  } catch (const platform::EListError& e) {
    EXPECT_STREQ(e.what(), "Index 3 is out of range");
  }
  try {
    uz.EntryPath(-1);
    FAIL() << "no exception";
  } catch (const platform::EListError& e) {
    EXPECT_STREQ(e.what(), "Index -1 is out of range");
  }
}

TEST_F(DirectoryTest, PropertyConventions) {
  TUnZip uz;
  uz.SetThisVersion(5);
  EXPECT_EQ(uz.ThisVersion(), 217);
  uz.SetDestDir("C:\\Out\\\\");
  EXPECT_EQ(uz.DestDir(), "C:\\Out\\");
  uz.SetRootDir("Base");
  EXPECT_EQ(uz.RootDir(), "Base\\");
  EXPECT_EQ(uz.OverwriteMode, TUZOverwriteMode::Prompt);
  EXPECT_TRUE(uz.DoProcessMessages);
  EXPECT_TRUE(uz.RetainAttributes);
  EXPECT_TRUE(uz.VerifyDiskLabels());
  // The dialogs of the "?" conventions: Cancel raises.
  platform::QueueDialogAnswer("");
  try {
    uz.SetZipName("?");
    FAIL() << "no exception";
  } catch (const EUserCanceled& e) {
    EXPECT_STREQ(e.what(), "User canceled setting zip file name.");
  }
  platform::QueueDialogAnswer("");
  try {
    uz.SetDestDir("?");
    FAIL() << "no exception";
  } catch (const EUserCanceled& e) {
    EXPECT_STREQ(e.what(), "User canceled Set Desination Directory");
  }
  platform::QueueDialogAnswer(Fixture("zip_stored.zip"));
  uz.SetZipName("?");
  EXPECT_EQ(uz.ZipName(), Fixture("zip_stored.zip"));
}

TEST_F(DirectoryTest, SameNameInOtherCaseKeepsTheDirectory) {
  TUnZip uz;
  const std::string path = Write("Keep.zip", BuildArchive({{.name = "a.txt", .data = ToBytes("a")}}));
  uz.SetZipName(path);
  uz.OpenArchive();
  uz.CloseArchive();
  EXPECT_EQ(uz.EntryCount(), 1);
  std::string upper = path;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  uz.SetZipName(upper);
  EXPECT_EQ(uz.EntryCount(), 1);
  uz.SetZipName(path + "x");
  EXPECT_EQ(uz.EntryCount(), 0);
}

}  // namespace
