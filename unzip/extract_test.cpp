// The extraction component and the per-entry pipeline: archives of real
// tools extracted byte for byte, selection, events, passwords, overwriting,
// damaged and hostile archives, multi-disk sets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "unzip/reader_test_util.h"
#include "unzip/unzip.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace readertest;

namespace {

const char* const kPayload[] = {"a.txt", "sub\\b.txt", "sub\\empty", "sub\\deeper\\rand.bin"};

class ExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetHeadlessQuiet(true);
    dest_ = tmp_.Sub("out");
  }
  void TearDown() override { platform::SetHeadlessQuiet(false); }

  std::string Write(const std::string& name, const Bytes& data) {
    const std::string path = tmp_.Sub(name);
    WriteBytes(path, data);
    return path;
  }
  // A component set up as the installer sets it.
  void Prepare(TUnZip& uz, const std::string& zip) {
    uz.RecreateDirs = true;
    uz.OverwriteMode = TUZOverwriteMode::Always;
    uz.DoAll = true;
    uz.SetDestDir(dest_);
    uz.SetZipName(zip);
    uz.OnBadCRC = [this](TUnZip& u, uint32_t, uint32_t, int i) { failures_.push_back("crc " + u.EntryPath(i)); };
    uz.OnSkippingFile = [this](TUnZip&, TSkipReason r, const std::string& name, int) {
      failures_.push_back("skip" + std::to_string(static_cast<int>(r)) + " " + name);
    };
    uz.OnEndUnZip = [this](TUnZip&, int, const std::string& name) { done_.push_back(name); };
  }
  std::string Out(const std::string& rel) const { return platform::JoinPath(dest_, rel); }
  void ExpectPayloadFile(const std::string& rel) {
    EXPECT_EQ(ReadBytes(Out(rel)), ReadBytes(Fixture("payload\\" + rel))) << rel;
  }

  TempDir tmp_;
  std::string dest_;
  std::vector<std::string> failures_;
  std::vector<std::string> done_;
};

// Every stored and encrypted-stored archive of the real tools comes out byte
// for byte, with its date.
TEST_F(ExtractTest, ArchivesOfRealToolsComeOutByteForByte) {
  struct {
    const char* fixture;
    int files;  // entries of the payload the archive holds
    int result;
  } cases[] = {
      {"zip_stored.zip", 4, 6},     {"zip_stored_pw.zip", 4, 6}, {"7z_zipcrypto.zip", 4, 6},
      {"py_stored.zip", 3, 3},      {"py_stream.zip", 3, 3},     {"zip_pipe_pw.zip", 3, 3},
      {"split.zip", 4, 6},          {"numset.003", 4, 6},        {"zip_deflated_pw.zip", 4, 6},
      {"7z_deflated_pw.zip", 4, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    TempDir dir;
    dest_ = dir.Sub("out");
    failures_.clear();
    TUnZip uz;
    Prepare(uz, Fixture(c.fixture));
    uz.Password = "secret";
    EXPECT_EQ(uz.ExtractFiles(), c.result);
    EXPECT_TRUE(failures_.empty()) << failures_.front();
    for (int i = 0; i < c.files; ++i) {
      const std::string rel = kPayload[i == 2 && c.files == 3 ? 3 : i];
      ExpectPayloadFile(rel);
    }
    // 2001-02-03 04:05:06 as the tools stored it.
    const int64_t t = platform::FileDosTime(Out("a.txt"));
    EXPECT_EQ(t >> 16, (21 << 9) | (2 << 5) | 3);
    EXPECT_EQ((t >> 11) & 0x1F, 4);
    EXPECT_EQ((t >> 5) & 0x3F, 5);
  }
}

// The read-only entry keeps its stored date: the time is set before the
// attributes.
TEST_F(ExtractTest, ReadOnlyEntryGetsItsDateAndAttribute) {
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored.zip"));
  ASSERT_EQ(uz.ExtractFiles(), 6);
  const int64_t attrs = platform::ReadFileAttributes(Out("sub\\b.txt"));
  EXPECT_TRUE(attrs & platform::kAttrReadOnly);
  EXPECT_FALSE(attrs & platform::kAttrDirectory);
  EXPECT_EQ(platform::FileDosTime(Out("sub\\b.txt")) >> 16, (21 << 9) | (2 << 5) | 3);
}

// Only the attribute bits of files are applied: never the folder bit, and in
// the Linux build never set-user-id, set-group-id or sticky bits.
TEST_F(ExtractTest, OnlyFileAttributeBitsAreApplied) {
  const uint32_t unix_mode = 0106755u;  // regular file with set-user-id and sticky
  const std::string zip = Write("attrs.zip", BuildArchive({{.name = "f.txt",
                                                            .data = ToBytes("data"),
                                                            .external = (unix_mode << 16) | 0x10 | 0x01}}));
  TUnZip uz;
  Prepare(uz, zip);
  ASSERT_EQ(uz.ExtractFiles(), 1);
  EXPECT_TRUE(platform::FileExists(Out("f.txt")));
  const int64_t attrs = platform::ReadFileAttributes(Out("f.txt"));
  EXPECT_TRUE(attrs & platform::kAttrReadOnly);
  EXPECT_FALSE(attrs & platform::kAttrDirectory);
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(::stat(platform::HostPath(Out("f.txt")).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & (S_ISUID | S_ISGID | S_ISVTX), 0u);
#endif
}

TEST_F(ExtractTest, SelectionCountsAndStartInfo) {
  struct {
    bool do_all, recreate;
    std::vector<std::string> masks;
    int files, result;
  } cases[] = {
      {true, false, {}, 4, 4},           {true, true, {}, 6, 6},
      {false, true, {}, 0, 0},           {false, true, {"*.TXT"}, 2, 2},
      {false, false, {"sub\\*", "a*"}, 4, 4},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dest_ = dir.Sub("out");
    TUnZip uz;
    Prepare(uz, Fixture("zip_stored.zip"));
    uz.DoAll = c.do_all;
    uz.RecreateDirs = c.recreate;
    uz.FilesList = c.masks;
    int info_files = -1;
    int64_t info_bytes = -1;
    uz.OnStartUnZipInfo = [&](TUnZip&, int n, int64_t bytes, bool&) {
      info_files = n;
      info_bytes = bytes;
    };
    EXPECT_EQ(uz.ExtractFiles(), c.result);
    EXPECT_EQ(info_files, c.files);
    if (c.files == 4) {
      EXPECT_EQ(info_bytes, 6 + 23893 + 140000);
    }
  }
}

TEST_F(ExtractTest, StopNowExtractsNothing) {
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored.zip"));
  uz.OnStartUnZipInfo = [](TUnZip&, int, int64_t, bool& stop) { stop = true; };
  EXPECT_EQ(uz.ExtractFiles(), 6);
  EXPECT_FALSE(platform::DirectoryExists(Out("sub")));
}

TEST_F(ExtractTest, ProgressEventsPerWrittenPiece) {
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored.zip"));
  uz.FilesList = {"*rand.bin"};
  uz.DoAll = false;
  std::vector<int> file_pct, total_pct;
  uz.OnFilePercentDone = [&](TUnZip&, int p) { file_pct.push_back(p); };
  uz.OnTotalPercentDone = [&](TUnZip&, int p) { total_pct.push_back(p); };
  EXPECT_EQ(uz.ExtractFiles(), 1);
  // 140000 bytes: eight pieces of 16000 and one of 12000.
  const std::vector<int> want = {11, 23, 34, 46, 57, 69, 80, 91, 100};
  EXPECT_EQ(file_pct, want);
  EXPECT_EQ(total_pct, want);
}

TEST_F(ExtractTest, TestOnlyWritesNothing) {
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored_pw.zip"));
  uz.Password = "secret";
  uz.TestOnly = true;
  EXPECT_EQ(uz.ExtractFiles(), 6);
  EXPECT_EQ(done_.size(), 4u);
  EXPECT_FALSE(platform::DirectoryExists(dest_));
}

// ---------------------------------------------------------------------------
// Passwords

TEST_F(ExtractTest, WrongPasswordTouchesNothing) {
  ASSERT_TRUE(platform::ForceDirectories(dest_));
  WriteBytes(Out("a.txt"), ToBytes("keep me"));
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored_pw.zip"));
  uz.Password = "wrong";
  EXPECT_EQ(uz.ExtractFiles(), 2);  // the two folders
  EXPECT_EQ(ReadBytes(Out("a.txt")), ToBytes("keep me"));
  EXPECT_FALSE(platform::FileExists(Out("sub\\b.txt")));
  EXPECT_EQ(failures_.size(), 4u);
  EXPECT_EQ(failures_.front().substr(0, 6), "skip0 ");
}

TEST_F(ExtractTest, BadPasswordHandlerSuppliesTheRightOne) {
  TUnZip uz;
  Prepare(uz, Fixture("7z_zipcrypto.zip"));
  uz.Password = "wrong";
  int asked = 0;
  uz.OnBadPassword = [&](TUnZip&, int, std::string& pw) {
    ++asked;
    pw = "secret";
  };
  EXPECT_EQ(uz.ExtractFiles(), 6);
  EXPECT_EQ(asked, 1);  // the password stays in force for the other entries
  ExpectPayloadFile("sub\\deeper\\rand.bin");

  // A handler that gives the same password back ends the check at once.
  TempDir dir;
  dest_ = dir.Sub("out");
  TUnZip uz2;
  Prepare(uz2, Fixture("7z_zipcrypto.zip"));
  uz2.Password = "wrong";
  asked = 0;
  uz2.OnBadPassword = [&](TUnZip&, int, std::string&) { ++asked; };
  EXPECT_EQ(uz2.ExtractFiles(), 2);
  EXPECT_EQ(asked, 4);
}

// Bit 3: the check byte is the high byte of the time as stored, also when the
// stored time needs repair (hour 31).
TEST_F(ExtractTest, CheckByteOfADescriptorEntryComesFromTheStoredTime) {
  const uint32_t odd_time = (21u << 25) | (2u << 21) | (3u << 16) | (31u << 11);
  ASSERT_NE(FixDosDateTime(odd_time) >> 8 & 0xFF, odd_time >> 8 & 0xFF);
  const std::string zip = Write("odd_time.zip", BuildArchive({{.name = "f.txt",
                                                               .data = ToBytes("secret data"),
                                                               .dos_time = odd_time,
                                                               .password = "pw",
                                                               .descriptor = true}}));
  TUnZip uz;
  Prepare(uz, zip);
  uz.Password = "pw";
  EXPECT_EQ(uz.ExtractFiles(), 1);
  EXPECT_EQ(ReadBytes(Out("f.txt")), ToBytes("secret data"));
}

// ---------------------------------------------------------------------------
// Overwriting

TEST_F(ExtractTest, OverwritePolicies) {
  struct {
    TUZOverwriteMode mode;
    bool handler_says;
    bool replaced;
  } cases[] = {
      {TUZOverwriteMode::Never, false, false},
      {TUZOverwriteMode::Prompt, false, false},
      {TUZOverwriteMode::Prompt, true, true},
      {TUZOverwriteMode::Always, false, true},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dest_ = dir.Sub("out");
    ASSERT_TRUE(platform::ForceDirectories(dest_));
    WriteBytes(Out("a.txt"), ToBytes("old"));
    TUnZip uz;
    Prepare(uz, Fixture("zip_stored.zip"));
    uz.OverwriteMode = c.mode;
    uz.FilesList = {"a.txt"};
    uz.DoAll = false;
    std::string asked_name;
    uz.OnPromptForOverwrite = [&](TUnZip&, bool& overwrite, int, std::string& name) {
      asked_name = name;
      overwrite = c.handler_says;
    };
    EXPECT_EQ(uz.ExtractFiles(), c.replaced ? 1 : 0);
    EXPECT_EQ(ReadBytes(Out("a.txt")), c.replaced ? ToBytes("hello\n") : ToBytes("old"));
    if (c.mode == TUZOverwriteMode::Prompt) {
      EXPECT_EQ(asked_name, Out("a.txt"));
    }
  }
}

TEST_F(ExtractTest, PromptWithoutHandlerAsksWithAMessageBox) {
  ASSERT_TRUE(platform::ForceDirectories(dest_));
  WriteBytes(Out("a.txt"), ToBytes("old"));
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored.zip"));
  uz.OverwriteMode = TUZOverwriteMode::Prompt;
  const int before = platform::HeadlessQuestionCount();
  platform::QueueAnswer(platform::ModalResult::kNo);
  EXPECT_EQ(uz.ExtractFiles(), 5);
  EXPECT_EQ(platform::HeadlessQuestionCount(), before + 1);
  EXPECT_EQ(platform::LastHeadlessMessage(), "Replace existing file a.txt?");
}

// A read-only target is replaced under Always; a target is only lost when the
// new file is good.
TEST_F(ExtractTest, ReplacedFileIsOnlyLostWhenTheNewOneIsGood) {
  ASSERT_TRUE(platform::ForceDirectories(dest_));
  WriteBytes(Out("a.txt"), ToBytes("old"));
  ASSERT_TRUE(platform::WriteFileAttributes(Out("a.txt"), platform::kAttrReadOnly));
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored.zip"));
  EXPECT_EQ(uz.ExtractFiles(), 6);
  EXPECT_EQ(ReadBytes(Out("a.txt")), ToBytes("hello\n"));

  // The same entry with a flipped data byte: the old file survives.
  Bytes data = ReadBytes(Fixture("zip_stored.zip"));
  const Bytes hello = ToBytes("hello\n");
  const auto at = std::search(data.begin(), data.end(), hello.begin(), hello.end());
  ASSERT_NE(at, data.end());
  *at = 'j';
  WriteBytes(Out("a.txt"), ToBytes("old"));
  TUnZip uz2;
  Prepare(uz2, Write("flipped.zip", data));
  EXPECT_EQ(uz2.ExtractFiles(), 5);
  EXPECT_EQ(ReadBytes(Out("a.txt")), ToBytes("old"));
  EXPECT_EQ(failures_.back(), "crc a.txt");
  // No temporary file is left beside it.
  EXPECT_EQ(platform::ListDirectory(dest_).size(), 2u);
}

// ---------------------------------------------------------------------------
// Damaged archives

TEST_F(ExtractTest, FlippedByteFailsTheCrcAndDeletesTheFile) {
  Bytes data = ReadBytes(Fixture("zip_stored.zip"));
  const uint32_t off = Get32(data, data.size() - 6);  // central directory
  // The last entry of the payload part: rand.bin, flip a byte in its middle.
  data[off / 2] ^= 0x40;
  TUnZip uz;
  Prepare(uz, Write("flip.zip", data));
  std::vector<std::pair<uint32_t, uint32_t>> crcs;
  uz.OnBadCRC = [&](TUnZip&, uint32_t calc, uint32_t stored, int) { crcs.emplace_back(calc, stored); };
  EXPECT_EQ(uz.ExtractFiles(), 5);
  ASSERT_EQ(crcs.size(), 1u);
  EXPECT_NE(crcs[0].first, crcs[0].second);
  EXPECT_FALSE(platform::FileExists(Out("sub\\deeper\\rand.bin")));
}

TEST_F(ExtractTest, FlippedByteOfAnEncryptedEntryAsksForAnotherPassword) {
  Bytes data = ReadBytes(Fixture("zip_stored_pw.zip"));
  const uint32_t off = Get32(data, data.size() - 6);
  data[off / 2] ^= 0x40;
  TUnZip uz;
  Prepare(uz, Write("flip_pw.zip", data));
  uz.Password = "secret";
  int asked = 0;
  uz.OnBadPassword = [&](TUnZip&, int, std::string&) { ++asked; };
  EXPECT_EQ(uz.ExtractFiles(), 5);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(platform::FileExists(Out("sub\\deeper\\rand.bin")));
}

TEST_F(ExtractTest, TruncatedArchiveEndsWithPrematureEnd) {
  Bytes data = ReadBytes(Fixture("zip_stored.zip"));
  data.resize(data.size() / 2);  // inside rand.bin
  TUnZip uz;
  Prepare(uz, Write("half.zip", data));
  EXPECT_THROW(uz.ExtractFiles(), EIncompleteZip);
  uz.SetZipName(tmp_.Sub("half.zip"));
  uz.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  try {
    uz.ExtractFiles();
    FAIL() << "no exception";
  } catch (const EFatalUnzipError& e) {
    EXPECT_STREQ(e.what(), "Premature end of file reached");
  }
  // The file in progress is not left behind.
  EXPECT_FALSE(platform::FileExists(Out("sub\\deeper\\rand.bin")));
  EXPECT_EQ(platform::ListDirectory(Out("sub\\deeper")).size(), 0u);
}

// Unknown methods always fail, also with a CRC of 0; the box comes once per entry.
TEST_F(ExtractTest, UnknownMethodAlwaysFails) {
  const std::string zip =
      Write("method.zip", BuildArchive({{.name = "empty.bin", .data = {}, .method = 99},
                                        {.name = "full.bin", .data = ToBytes("abc"), .method = 7}}));
  TUnZip uz;
  Prepare(uz, zip);
  const int before = platform::HeadlessQuestionCount();
  EXPECT_EQ(uz.ExtractFiles(), 0);
  EXPECT_EQ(platform::HeadlessQuestionCount(), before + 2);
  EXPECT_EQ(platform::LastHeadlessMessage(), "Unknown Compression Method");
  EXPECT_FALSE(platform::FileExists(Out("empty.bin")));
  EXPECT_EQ(failures_.size(), 2u);
}

// No entry is good unless the bytes written equal its stated size.
TEST_F(ExtractTest, SizeMustMatchTheStatedSize) {
  const Bytes abc = ToBytes("abc");
  const std::string zip = Write(
      "size.zip", BuildArchive({{.name = "short.bin", .data = abc, .override_sizes = true, .packed = 3, .unpacked = 5},
                                {.name = "long.bin", .data = abc, .override_sizes = true, .packed = 3, .unpacked = 2},
                                {.name = "good.bin", .data = abc}}));
  TUnZip uz;
  Prepare(uz, zip);
  EXPECT_EQ(uz.ExtractFiles(), 1);
  EXPECT_FALSE(platform::FileExists(Out("short.bin")));
  EXPECT_FALSE(platform::FileExists(Out("long.bin")));
  EXPECT_EQ(ReadBytes(Out("good.bin")), abc);
}

// An entry whose data descriptor cannot be found never counts as extracted.
TEST_F(ExtractTest, EntryWithUnknownSizesIsNeverReportedGood) {
  Bytes data = ReadBytes(Fixture("py_stream.zip"));
  const size_t dir = Get32(data, data.size() - 6);
  data[dir] = 'X';
  // The first descriptor (after "hello\n") gets a wrong compressed size.
  const Bytes desc = {'P', 'K', 7, 8};
  const auto at = std::search(data.begin(), data.end(), desc.begin(), desc.end());
  ASSERT_NE(at, data.end());
  Set32(data, static_cast<size_t>(at - data.begin()) + 8, 1234);
  TUnZip uz;
  Prepare(uz, Write("lost_desc.zip", data));
  const int result = uz.ExtractFiles();
  EXPECT_EQ(result, uz.EntryCount() - 1);
  EXPECT_FALSE(platform::FileExists(Out("a.txt")));
  ASSERT_FALSE(failures_.empty());
  EXPECT_EQ(failures_.front(), "skip2 a.txt");
}

TEST_F(ExtractTest, UnreadableArchivesRaiseTheComponentErrors) {
  TUnZip uz;
  Prepare(uz, tmp_.Sub("missing.zip"));
  EXPECT_THROW(uz.ExtractFiles(), platform::EFOpenError);
  Prepare(uz, Fixture("zip64.zip"));
  EXPECT_THROW(uz.ExtractFiles(), EBadZipFile);
  Prepare(uz, Fixture("py_comment_sig.zip"));
  EXPECT_EQ(uz.ExtractFiles(), 1);
}

// Damaged copies of a small archive (flipped bytes anywhere, cut files) end in
// one of the component's errors or in a count of good entries, never in a
// crash, and never write outside the destination.
TEST_F(ExtractTest, RandomDamageEndsInTheComponentsErrors) {
  const Bytes original = BuildArchive({{.name = "d/plain.txt", .data = ToBytes(std::string(300, 'p'))},
                                       {.name = "d/", .data = {}},
                                       {.name = "secret.txt", .data = ToBytes("classified"), .password = "pw"},
                                       {.name = "stream.txt", .data = ToBytes("streamed data"), .descriptor = true},
                                       {.name = "empty.txt", .data = {}}},
                                      "the comment");
  std::mt19937 rng(12345);
  int errors = 0, runs = 0;
  for (int round = 0; round < 150; ++round) {
    Bytes data = original;
    if (round % 5 == 4) {
      data.resize(rng() % data.size());
    } else {
      for (int flips = 1 + static_cast<int>(rng() % 3); flips > 0; --flips)
        data[rng() % data.size()] = static_cast<uint8_t>(rng());
    }
    TempDir dir;
    dest_ = dir.Sub("out");
    TUnZip uz;
    Prepare(uz, Write("damaged.zip", data));
    uz.Password = "pw";
    uz.IncompleteZipMode = round % 2 ? TIncompleteZipMode::izAssumeBad : TIncompleteZipMode::izAssumeMulti;
    try {
      const int result = uz.ExtractFiles();
      EXPECT_GE(result, 0);
      EXPECT_LE(result, uz.EntryCount());
      ++runs;
    } catch (const EBadZipFile&) {
      ++errors;
    } catch (const EIncompleteZip&) {
      ++errors;
    } catch (const EFatalUnzipError&) {
      ++errors;
    } catch (const EUserCanceled&) {
      ++errors;  // a disk number that names a missing disk
    } catch (const platform::EListError&) {
      ++errors;  // two entries at the same offset
    }
    for (const std::string& name : platform::ListDirectory(dir.Path()))
      EXPECT_TRUE(name == "out" || name == "damaged.zip") << name;
  }
  EXPECT_GT(runs, 0);
  EXPECT_GT(errors, 0);
}

// ---------------------------------------------------------------------------
// Hostile paths

TEST_F(ExtractTest, PathsThatClimbOutAreRefused) {
  dest_ = tmp_.Sub("a\\b\\out");
  TUnZip uz;
  Prepare(uz, Fixture("py_hostile.zip"));
  std::map<std::string, TSkipReason> skipped;
  uz.OnSkippingFile = [&](TUnZip&, TSkipReason r, const std::string& name, int) { skipped[name] = r; };
  EXPECT_EQ(uz.ExtractFiles(), 4);
  EXPECT_EQ(skipped.size(), 4u);
  for (const auto& [name, reason] : skipped) EXPECT_EQ(reason, TSkipReason::srFileOpenError) << name;
  EXPECT_EQ(skipped.count("..\\evil1.txt"), 1u);
  EXPECT_EQ(skipped.count("a\\..\\..\\evil2.txt"), 1u);
  EXPECT_EQ(skipped.count("..\\evil3.txt"), 1u);
  // Rooted and drive folders go below the destination.
  EXPECT_TRUE(platform::FileExists(Out("ok.txt")));
  EXPECT_TRUE(platform::FileExists(Out("abs\\inside1.txt")));
  EXPECT_TRUE(platform::FileExists(Out("drive\\inside2.txt")));
  EXPECT_TRUE(platform::FileExists(Out("sub\\ok2.txt")));
  // Nothing above the destination.
  EXPECT_EQ(platform::ListDirectory(tmp_.Sub("a\\b")), std::vector<std::string>{"out"});
  EXPECT_EQ(platform::ListDirectory(tmp_.Sub("a")), std::vector<std::string>{"b"});
  EXPECT_EQ(platform::ListDirectory(tmp_.Path()), std::vector<std::string>{"a"});
}

// Names of dots and spaces: Windows drops trailing dots and spaces, so there
// ".. " is the parent folder; elsewhere such names are ordinary names.
TEST_F(ExtractTest, DotAndSpaceNamesNeverLeaveTheDestination) {
  dest_ = tmp_.Sub("a\\out");
  const std::string zip = Write("dots.zip", BuildArchive({{.name = ".. /x.txt", .data = ToBytes("x")},
                                                          {.name = "... /y.txt", .data = ToBytes("y")},
                                                          {.name = "ok/ .. /z.txt", .data = ToBytes("z")}}));
  TUnZip uz;
  Prepare(uz, zip);
#ifdef _WIN32
  EXPECT_EQ(uz.ExtractFiles(), 0);
  EXPECT_EQ(failures_.size(), 3u);
#else
  EXPECT_EQ(uz.ExtractFiles(), 3);
  EXPECT_TRUE(platform::FileExists(Out(".. \\x.txt")));
#endif
  EXPECT_EQ(platform::ListDirectory(tmp_.Sub("a")), std::vector<std::string>{"out"});
}

TEST_F(ExtractTest, RootDirIsCutAndRootedFoldersStayBelowDest) {
  const std::string zip = Write("rooted.zip", BuildArchive({{.name = "base/sub/f.txt", .data = ToBytes("1")},
                                                            {.name = "C:/Data/g.txt", .data = ToBytes("2")},
                                                            {.name = "/Data/h.txt", .data = ToBytes("3")}}));
  TUnZip uz;
  Prepare(uz, zip);
  uz.SetRootDir("Base");
  EXPECT_EQ(uz.ExtractFiles(), 3);
  EXPECT_TRUE(platform::FileExists(Out("sub\\f.txt")));
  EXPECT_TRUE(platform::FileExists(Out("Data\\g.txt")));
  EXPECT_TRUE(platform::FileExists(Out("Data\\h.txt")));
}

TEST_F(ExtractTest, FolderEntriesFireOnlyStartEvent) {
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored.zip"));
  std::vector<std::string> started;
  uz.OnStartUnZip = [&](TUnZip&, int, const std::string& name, bool&) { started.push_back(name); };
  EXPECT_EQ(uz.ExtractFiles(), 6);
  EXPECT_EQ(started.size(), 6u);
  EXPECT_EQ(started.front(), Out("sub") + "\\");
  EXPECT_EQ(done_.size(), 4u);
}

// ---------------------------------------------------------------------------
// Multi-disk sets

TEST_F(ExtractTest, MissingDiskEndsTheWait) {
  for (const char* name : {"split.zip", "split.z02"}) WriteBytes(tmp_.Sub(name), ReadBytes(Fixture(name)));
  TUnZip uz;
  Prepare(uz, tmp_.Sub("split.zip"));
  try {
    uz.ExtractFiles();
    FAIL() << "no exception";
  } catch (const EUserCanceled& e) {
    EXPECT_STREQ(e.what(), "User canceled loading new disk.");
  }
}

TEST_F(ExtractTest, DiskBeyondTheSetRaisesAtOnce) {
  TUnZip uz;
  uz.SetZipName(Fixture("split.zip"));
  uz.OpenArchive();
  EXPECT_EQ(uz.EndRecord().ThisDisk, 2);
  EXPECT_EQ(uz.VolumeMode(), TVolumeMode::NumberedFiles);
  int asked = 0;
  uz.OnGetNextDisk = [&](TUnZip&, int, std::string&) { ++asked; };
  EXPECT_THROW(uz.NextDisk(4), EFatalUnzipError);
  EXPECT_EQ(asked, 0);
}

TEST_F(ExtractTest, NextDiskNamesFollowBothConventions) {
  TUnZip uz;
  uz.SetZipName(Fixture("numset.003"));
  uz.OpenArchive();
  std::string name;
  uz.DefaultNextDiskHandler(uz, 1, name);
  EXPECT_EQ(name, Fixture("numset.001"));
  uz.DefaultNextDiskHandler(uz, 3, name);
  EXPECT_EQ(name, Fixture("numset.003"));
  TUnZip uz2;
  uz2.SetZipName(Fixture("split.zip"));
  uz2.OpenArchive();
  uz2.DefaultNextDiskHandler(uz2, 2, name);
  EXPECT_EQ(name, Fixture("split.z02"));
  uz2.DefaultNextDiskHandler(uz2, 3, name);
  EXPECT_EQ(name, Fixture("split.zip"));
}

// ---------------------------------------------------------------------------
// Comments during an extraction

TEST_F(ExtractTest, ReadingCommentsDoesNotDisturbARunningExtraction) {
  TUnZip uz;
  Prepare(uz, Fixture("py_stored.zip"));
  std::vector<std::string> comments;
  uz.OnEndUnZip = [&](TUnZip& u, int index, const std::string&) {
    comments.push_back(u.EntryComment(index));
    comments.push_back(u.ArchiveComment());
  };
  EXPECT_EQ(uz.ExtractFiles(), 3);
  EXPECT_TRUE(failures_.empty());
  ExpectPayloadFile("sub\\deeper\\rand.bin");
  ASSERT_EQ(comments.size(), 6u);
  EXPECT_EQ(comments[4], "comment of sub/deeper/rand.bin");
  EXPECT_EQ(comments[5], "archive comment");
}

// ---------------------------------------------------------------------------
// A full disk

#ifndef _WIN32
// Needs a small file system: a 64 KiB tmpfs (root only; skipped otherwise).
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& dir) : dir_(dir) {
    platform::ForceDirectories(dir);
    mounted_ = std::system(("mount -t tmpfs -o size=64k kvtest '" + platform::HostPath(dir) + "'").c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) (void)std::system(("umount '" + platform::HostPath(dir_) + "'").c_str());
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string dir_;
  bool mounted_ = false;
};

TEST_F(ExtractTest, FullDiskRaisesAWriteErrorAndLeavesNoFile) {
  SmallDisk disk(dest_);
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here";
  TUnZip uz;
  Prepare(uz, Fixture("zip_stored.zip"));
  try {
    uz.ExtractFiles();
    FAIL() << "no exception";
  } catch (const platform::EWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("rand.bin"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(platform::FileExists(Out("sub\\deeper\\rand.bin")));
  EXPECT_EQ(done_.size(), 2u);  // b.txt and empty came before
}
#endif

}  // namespace
