// Hostile archives: whatever an archive holds, the component ends in one of
// its own exceptions, refuses the entry, or extracts it correctly; and in
// every case nothing is written outside the destination folder and no
// entry's file grows past its stated size.
//
// Archives are archives of real tools (tests/fixtures) with bytes edited, or
// written byte by byte with BuildArchive.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "unzip/reader_test_util.h"
#include "unzip/unzip.h"

using namespace readertest;

namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// Where a record of an archive starts: its central header and local header.
struct RecordPos {
  size_t central;
  size_t local;
};

size_t EndRecordPos(const Bytes& b) {
  for (size_t i = b.size() - 22 + 1; i-- > 0;)
    if (Get32(b, i) == 0x06054B50) return i;
  ADD_FAILURE() << "no end record";
  return 0;
}

std::vector<RecordPos> Records(const Bytes& b) {
  std::vector<RecordPos> out;
  const size_t end = EndRecordPos(b);
  size_t p = Get32(b, end + 16);
  for (int i = 0; i < Get16(b, end + 10); ++i) {
    out.push_back({p, Get32(b, p + 42)});
    p += 46 + Get16(b, p + 28) + Get16(b, p + 30) + Get16(b, p + 32);
  }
  return out;
}

void Set16(Bytes& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// The record of the stored name `name` (central directory order).
RecordPos RecordOf(const Bytes& b, const std::string& name) {
  for (const RecordPos& r : Records(b)) {
    const std::string n(b.begin() + static_cast<ptrdiff_t>(r.central + 46),
                        b.begin() + static_cast<ptrdiff_t>(r.central + 46 + Get16(b, r.central + 28)));
    if (n == name) return r;
  }
  ADD_FAILURE() << "no entry " << name;
  return {0, 0};
}

// Start of an entry's data behind its local header.
size_t DataPos(const Bytes& b, const RecordPos& r) {
  return r.local + 30 + Get16(b, r.local + 26) + Get16(b, r.local + 28);
}

// What one extraction run did.
struct Outcome {
  std::optional<int> result;  // ExtractFiles' result, when it returned
  std::string error;          // the exception's class and message, when it raised
  std::vector<std::string> refused;   // "reason name" of OnSkippingFile
  std::vector<std::string> bad_crc;   // names of OnBadCRC
  std::map<std::string, Bytes> files;  // files below the destination, "/" separators
  std::vector<std::string> outside;   // anything written outside the destination
  int password_questions = 0;
};

std::string ReasonText(TSkipReason r) {
  switch (r) {
    case TSkipReason::srBadPassword: return "password";
    case TSkipReason::srNoOverwrite: return "overwrite";
    case TSkipReason::srFileOpenError: return "open";
  }
  return "?";
}

// A folder that holds the archive and, three levels down, the destination,
// so that a file that climbs out lands where the listing sees it.
class HostileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetHeadlessQuiet(true);
    dest_ = tmp_.Sub("d1\\d2\\d3\\out");
    platform::ForceDirectories(tmp_.Sub("d1\\d2\\d3"));
  }
  void TearDown() override { platform::SetHeadlessQuiet(false); }

  // Extracts every entry of `archive` as the installer does; `setup` may
  // change the component before the run.
  Outcome Run(const Bytes& archive, const std::function<void(TUnZip&)>& setup = nullptr) {
    Outcome o;
    const std::string zip = tmp_.Sub("arch.zip");
    WriteBytes(zip, archive);
    {
      TUnZip uz;
      uz.RecreateDirs = true;
      uz.OverwriteMode = TUZOverwriteMode::Always;
      uz.DoAll = true;
      uz.SetDestDir(dest_);
      uz.OnGetNextDisk = [](TUnZip&, int, std::string& name) { name.clear(); };
      uz.OnSkippingFile = [&o](TUnZip&, TSkipReason r, const std::string& name, int) {
        o.refused.push_back(ReasonText(r) + " " + name);
      };
      uz.OnBadCRC = [&o](TUnZip& u, uint32_t, uint32_t, int i) { o.bad_crc.push_back(u.EntryPath(i)); };
      if (setup) setup(uz);
      try {
        uz.SetZipName(zip);
        o.result = uz.ExtractFiles();
      } catch (const EBadZipFile& e) {
        o.error = std::string("EBadZipFile ") + e.what();
      } catch (const EIncompleteZip& e) {
        o.error = std::string("EIncompleteZip ") + e.what();
      } catch (const EFatalUnzipError& e) {
        o.error = std::string("EFatalUnzipError ") + e.what();
      } catch (const EUserCanceled& e) {
        o.error = std::string("EUserCanceled ") + e.what();
      } catch (const platform::EListError& e) {
        o.error = std::string("EListError ") + e.what();
      } catch (const platform::Exception& e) {
        o.error = std::string("Exception ") + e.what();
      }
    }
    Collect(o);
    return o;
  }

  // Lists the folder: files below the destination (then removed for the
  // next run), anything else but the archive and the folders above it.
  void Collect(Outcome& o) {
    namespace fs = std::filesystem;
    const fs::path root(tmp_.Path());
    const fs::path dest = root / "d1" / "d2" / "d3" / "out";
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      const fs::path& p = it->path();
      if (p == root / "arch.zip" || p == root / "d1" || p == root / "d1" / "d2" || p == root / "d1" / "d2" / "d3" ||
          p == dest)
        continue;
      const std::string rel = p.lexically_relative(dest).generic_string();
      if (rel.empty() || rel == ".." || rel.compare(0, 3, "../") == 0) {
        o.outside.push_back(p.lexically_relative(root).generic_string());
        continue;
      }
      if (it->is_regular_file(ec)) {
        std::ifstream in(p, std::ios::binary);
        o.files[rel] = Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      }
    }
    for (auto it = fs::recursive_directory_iterator(dest, ec); it != fs::recursive_directory_iterator();
         it.increment(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dest, ec);
  }

  TempDir tmp_;
  std::string dest_;
};

std::string Describe(const Outcome& o) {
  std::string s = o.result ? "result " + std::to_string(*o.result) : "raised " + o.error;
  for (const auto& r : o.refused) s += "; refused " + r;
  for (const auto& c : o.bad_crc) s += "; bad crc " + c;
  for (const auto& [name, data] : o.files) s += "; file " + name + " (" + std::to_string(data.size()) + ")";
  for (const auto& x : o.outside) s += "; OUTSIDE " + x;
  return s;
}

// ---------------------------------------------------------------------------
// Stored names

// How a name comes out: refused (no file), or extracted at a path below the
// destination ("/" separators), which may differ per system.
struct NameCase {
  std::string stored;
  const char* posix;    // nullptr: refused
  const char* windows;  // nullptr: refused
};

TEST_F(HostileTest, StoredNamesStayBelowTheDestination) {
  const NameCase cases[] = {
      // ".." in every spelling and with both separators.
      {"../evil.txt", nullptr, nullptr},
      {"..\\evil.txt", nullptr, nullptr},
      {"a/../../evil.txt", nullptr, nullptr},
      {"a\\..\\..\\evil.txt", nullptr, nullptr},
      {"a/..\\../evil.txt", nullptr, nullptr},
      {"./../evil.txt", nullptr, nullptr},
      {"..", nullptr, nullptr},
      {"../", nullptr, nullptr},
      {"a/..", nullptr, nullptr},
      {"../../../../../../../../evil.txt", nullptr, nullptr},
      {"a/b/../../../evil.txt", nullptr, nullptr},
      {"a/../b.txt", nullptr, nullptr},  // harmless, but ".." is never taken
      // Dots and blanks: on Windows trailing dots and blanks are dropped, so
      // "..." and ".. " name the parent there.
      {"...", "...", nullptr},
      {"... /evil.txt", "... /evil.txt", nullptr},
      {".. /evil.txt", ".. /evil.txt", nullptr},
      {"a/.../evil.txt", "a/.../evil.txt", nullptr},
      {"./a.txt", "a.txt", "a.txt"},
      {"a/./b.txt", "a/b.txt", "a/b.txt"},
      {"a//b.txt", "a/b.txt", "a/b.txt"},
      {"dir./f.txt", "dir./f.txt", "dir/f.txt"},
      {"dir /f.txt", "dir /f.txt", "dir/f.txt"},
      {"name.", "name.", "name"},
      {"name ", "name ", "name"},
      // Rooted, drive-rooted, drive-relative and UNC names are re-rooted
      // below the destination.
      {"/kvhostile_abs/f.txt", "kvhostile_abs/f.txt", "kvhostile_abs/f.txt"},
      {"\\kvhostile_abs\\f.txt", "kvhostile_abs/f.txt", "kvhostile_abs/f.txt"},
      {"C:/kvhostile_drv/f.txt", "kvhostile_drv/f.txt", "kvhostile_drv/f.txt"},
      {"C:\\kvhostile_drv\\f.txt", "kvhostile_drv/f.txt", "kvhostile_drv/f.txt"},
      {"C:kvhostile_rel.txt", "kvhostile_rel.txt", "kvhostile_rel.txt"},
      {"C:kvhostile_rel/f.txt", "kvhostile_rel/f.txt", "kvhostile_rel/f.txt"},
      {"Z:/kvhostile_drv/f.txt", "kvhostile_drv/f.txt", "kvhostile_drv/f.txt"},
      {"C:../evil.txt", nullptr, nullptr},
      {"C:/../evil.txt", nullptr, nullptr},
      {"//kvhostile_srv/share/f.txt", "kvhostile_srv/share/f.txt", "kvhostile_srv/share/f.txt"},
      {"\\\\kvhostile_srv\\share\\f.txt", "kvhostile_srv/share/f.txt", "kvhostile_srv/share/f.txt"},
      {"\\\\?\\C:\\kvhostile_long\\f.txt", nullptr, nullptr},  // a colon inside a folder name
      {"\\\\.\\kvhostile_dev", "kvhostile_dev", "kvhostile_dev"},
      {"a:b/f.txt", "b/f.txt", "b/f.txt"},  // "a:" is a drive
      {"a/b:c.txt", nullptr, nullptr},      // folder "a\b:" (a stream colon), file "c.txt"
      // Device names (with and without extension, any case, trailing blank).
      {"CON", "CON", nullptr},
      {"nul", "nul", nullptr},
      {"COM1", "COM1", nullptr},
      {"com9.txt", "com9.txt", nullptr},
      {"LPT1.log", "LPT1.log", nullptr},
      {"aux/f.txt", "aux/f.txt", nullptr},
      {"PRN .txt", "PRN .txt", nullptr},
      {"NUL ", "NUL ", nullptr},
      {"COM0", "COM0", "COM0"},
      {"CONSOLE.txt", "CONSOLE.txt", "CONSOLE.txt"},
      // NUL bytes and control characters.
      {std::string("a\0b.txt", 7), nullptr, nullptr},
      {std::string("\0", 1), nullptr, nullptr},
      {std::string("dir\0/f.txt", 10), nullptr, nullptr},
      {"a\x01.txt", nullptr, nullptr},
      {"line\nbreak.txt", nullptr, nullptr},
      {"tab\t.txt", nullptr, nullptr},
      {"esc\x1b/f.txt", nullptr, nullptr},
      {"del\x7f.txt", "del\x7f.txt", "del\x7f.txt"},
      // Characters Windows reserves.
      {"a<b.txt", "a<b.txt", nullptr},
      {"a|b.txt", "a|b.txt", nullptr},
      {"what?.txt", "what?.txt", nullptr},
      {"star*.txt", "star*.txt", nullptr},
      {"q\"uote.txt", "q\"uote.txt", nullptr},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.stored));
    const Outcome o = Run(BuildArchive({{.name = c.stored, .data = ToBytes("payload")}}));
    EXPECT_TRUE(o.outside.empty()) << Describe(o);
    const char* want = kWindows ? c.windows : c.posix;
    ASSERT_TRUE(o.result.has_value()) << Describe(o);
    if (want == nullptr) {
      EXPECT_EQ(*o.result, 0) << Describe(o);
      EXPECT_TRUE(o.files.empty()) << Describe(o);
      ASSERT_EQ(o.refused.size(), 1u) << Describe(o);
      EXPECT_EQ(o.refused[0].rfind("open ", 0), 0u) << Describe(o);
    } else {
      EXPECT_EQ(*o.result, 1) << Describe(o);
      EXPECT_TRUE(o.refused.empty()) << Describe(o);
      ASSERT_EQ(o.files.size(), 1u) << Describe(o);
      EXPECT_EQ(o.files.begin()->first, want) << Describe(o);
      EXPECT_EQ(o.files.begin()->second, ToBytes("payload"));
    }
  }
  // Nothing was created at the roots the names mention.
  for (const char* p : {"\\kvhostile_abs", "C:\\kvhostile_drv", "C:\\kvhostile_rel", "C:kvhostile_rel.txt",
                        "\\\\kvhostile_srv\\share", "Z:\\kvhostile_drv", "\\kvhostile_dev"}) {
    EXPECT_FALSE(platform::DirectoryExists(p)) << p;
    EXPECT_FALSE(platform::FileExists(p)) << p;
  }
}

// Names of up to 65535 bytes: a path longer than Windows can open is refused
// like any unsafe name, before anything is created, and the run goes on.
TEST_F(HostileTest, LongNamesAreRefusedAndTheRunGoesOn) {
  std::string deep, climb;
  while (deep.size() < 60000) deep += "a/";
  while (climb.size() < 60000) climb += "../";
  const std::string names[] = {
      std::string(60000, 'a'),          // one name of 60 000 bytes
      deep + "f.txt",                   // 30 000 nested folders
      deep,                             // the same as a folder entry
      climb + "f.txt",                  // 20 000 times ".."
      std::string(65535, 'b'),          // the longest name a header can hold
      std::string(300, 'c') + "/f.txt", // a folder name longer than Windows allows
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name.substr(0, 12) + "... (" + std::to_string(name.size()) + " bytes)");
    const Outcome o = Run(BuildArchive({{.name = name, .data = ToBytes("payload")},
                                        {.name = "after.txt", .data = ToBytes("after")}}));
    ASSERT_TRUE(o.result.has_value()) << o.error;
    EXPECT_EQ(*o.result, 1);
    ASSERT_EQ(o.refused.size(), 1u);
    EXPECT_EQ(o.refused[0].rfind("open ", 0), 0u);
    ASSERT_EQ(o.files.size(), 1u);
    EXPECT_EQ(o.files.count("after.txt"), 1u);
    EXPECT_TRUE(o.outside.empty());
  }
}

// ---------------------------------------------------------------------------
// Directory records that lie

struct Edit {
  const char* what;
  std::function<void(Bytes&)> edit;
};

// Outcome of an edited archive: the exception (class and message), or the
// result; the files that come out (each byte for byte the payload); the
// entries that fail their CRC check.
struct RecordCase {
  Edit edit;
  const char* error;  // nullptr: ExtractFiles returns `result`
  int result;
  std::vector<std::string> files;
  std::vector<std::string> bad_crc;
};

void SetTotal(Bytes& b, uint16_t n) {
  const size_t e = EndRecordPos(b);
  Set16(b, e + 8, n);
  Set16(b, e + 10, n);
}
void SetCentral32(Bytes& b, const std::string& name, size_t field, uint32_t v) {
  Set32(b, RecordOf(b, name).central + field, v);
}

const std::vector<std::string> kAllFiles = {"a.txt", "sub/b.txt", "sub/deeper/rand.bin", "sub/empty"};
const std::vector<std::string> kAllButA = {"sub/b.txt", "sub/deeper/rand.bin", "sub/empty"};
const char* const kPremature = "EFatalUnzipError Premature end of file reached";
const char* const kNotValid = "EBadZipFile Not a valid zip file!";
const char* const kZip64 = "EBadZipFile Zip64 archives are not supported!";

// zip_stored.zip of Info-ZIP zip: sub/, sub/b.txt, sub/empty, sub/deeper/,
// sub/deeper/rand.bin, a.txt (in this order in the archive).
TEST_F(HostileTest, DirectoryRecordsThatLie) {
  const Bytes base = ReadBytes(Fixture("zip_stored.zip"));
  ASSERT_FALSE(base.empty());
  const RecordCase cases[] = {
      // End record: more or fewer entries than there are.
      {{"no entries claimed", [](Bytes& b) { SetTotal(b, 0); }}, nullptr, 0, {}, {}},
      {{"2 of 6 claimed", [](Bytes& b) { SetTotal(b, 2); }}, nullptr, 2, {"sub/b.txt"}, {}},
      {{"5 of 6 claimed", [](Bytes& b) { SetTotal(b, 5); }}, nullptr, 5, kAllButA, {}},
      {{"7 of 6 claimed", [](Bytes& b) { SetTotal(b, 7); }}, kNotValid, 0, {}, {}},
      {{"1000 of 6 claimed", [](Bytes& b) { SetTotal(b, 1000); }}, kNotValid, 0, {}, {}},
      {{"65535 claimed (saturated)", [](Bytes& b) { SetTotal(b, 0xFFFF); }}, kZip64, 0, {}, {}},
      // End record: offsets and sizes past the end, or negative as signed values.
      {{"directory offset past the end",
        [](Bytes& b) { Set32(b, EndRecordPos(b) + 16, static_cast<uint32_t>(b.size() + 100)); }},
       nullptr, 6, kAllFiles, {}},
      {{"directory offset 0x80000000", [](Bytes& b) { Set32(b, EndRecordPos(b) + 16, 0x80000000); }},
       nullptr, 6, kAllFiles, {}},
      {{"directory offset 0xFFFFFFF0", [](Bytes& b) { Set32(b, EndRecordPos(b) + 16, 0xFFFFFFF0); }},
       nullptr, 6, kAllFiles, {}},
      {{"directory offset 0xFFFFFFFF (saturated)", [](Bytes& b) { Set32(b, EndRecordPos(b) + 16, 0xFFFFFFFF); }},
       kZip64, 0, {}, {}},
      {{"directory size 0xFFFFFFFF (saturated)", [](Bytes& b) { Set32(b, EndRecordPos(b) + 12, 0xFFFFFFFF); }},
       kZip64, 0, {}, {}},
      {{"directory size 0x80000000", [](Bytes& b) { Set32(b, EndRecordPos(b) + 12, 0x80000000); }},
       nullptr, 6, kAllFiles, {}},
      {{"comment length 65535", [](Bytes& b) { Set16(b, EndRecordPos(b) + 20, 0xFFFF); }},
       nullptr, 6, kAllFiles, {}},
      {{"disk number 5 of a set", [](Bytes& b) { Set16(b, EndRecordPos(b) + 4, 5); }},
       "EUserCanceled User canceled loading new disk.", 0, {}, {}},
      {{"directory on disk 3 of a single archive", [](Bytes& b) { Set16(b, EndRecordPos(b) + 6, 3); }},
       nullptr, 6, kAllFiles, {}},
      {{"no end record", [](Bytes& b) { b[EndRecordPos(b)] = 'X'; }}, "EIncompleteZip Incomplete Zip File", 0, {},
       {}},
      // Central headers: local-header offsets past the end or negative.
      {{"local header past the end",
        [](Bytes& b) { SetCentral32(b, "a.txt", 42, static_cast<uint32_t>(b.size() + 10)); }},
       kPremature, 0, kAllButA, {}},
      {{"local header at 0xFFFFFFFF", [](Bytes& b) { SetCentral32(b, "a.txt", 42, 0xFFFFFFFF); }}, kPremature, 0,
       kAllButA, {}},
      {{"local header at -30", [](Bytes& b) { SetCentral32(b, "a.txt", 42, 0xFFFFFFE2); }}, kPremature, 0,
       kAllButA, {}},
      {{"local header 10 bytes before the end",
        [](Bytes& b) { SetCentral32(b, "a.txt", 42, static_cast<uint32_t>(b.size() - 10)); }},
       kPremature, 0, kAllButA, {}},
      {{"local header inside another entry's data",
        [](Bytes& b) { SetCentral32(b, "a.txt", 42, static_cast<uint32_t>(DataPos(b, RecordOf(b, "sub/b.txt")) + 100)); }},
       nullptr, 5, kAllButA, {"a.txt"}},
      // Sizes: past the end, 4 GB on a tiny entry, 0 for data.
      {{"compressed size 0xFFFFFFFF", [](Bytes& b) { SetCentral32(b, "a.txt", 20, 0xFFFFFFFF); }}, kPremature, 0,
       kAllButA, {}},
      {{"compressed size 0x80000000", [](Bytes& b) { SetCentral32(b, "a.txt", 20, 0x80000000); }}, kPremature, 0,
       kAllButA, {}},
      {{"uncompressed size 4 GB", [](Bytes& b) { SetCentral32(b, "a.txt", 24, 0xFFFFFFFF); }}, nullptr, 5,
       kAllButA, {"a.txt"}},
      {{"uncompressed size 0x80000000", [](Bytes& b) { SetCentral32(b, "a.txt", 24, 0x80000000); }}, nullptr, 5,
       kAllButA, {"a.txt"}},
      {{"uncompressed size 0", [](Bytes& b) { SetCentral32(b, "a.txt", 24, 0); }}, nullptr, 5, kAllButA, {"a.txt"}},
      {{"uncompressed size 1 below", [](Bytes& b) { SetCentral32(b, "sub/b.txt", 24, 23892); }}, nullptr, 5,
       {"a.txt", "sub/deeper/rand.bin", "sub/empty"}, {"sub\\b.txt"}},
      {{"both sizes 4 GB",
        [](Bytes& b) {
          SetCentral32(b, "a.txt", 20, 0xFFFFFFFF);
          SetCentral32(b, "a.txt", 24, 0xFFFFFFFF);
        }},
       kPremature, 0, kAllButA, {}},
      // Name and extra lengths that run past the record.
      {{"local name length 65535", [](Bytes& b) { Set16(b, RecordOf(b, "a.txt").local + 26, 0xFFFF); }},
       kPremature, 0, kAllButA, {}},
      {{"local extra length 65535", [](Bytes& b) { Set16(b, RecordOf(b, "sub/b.txt").local + 28, 0xFFFF); }},
       nullptr, 5, {"a.txt", "sub/deeper/rand.bin", "sub/empty"}, {"sub\\b.txt"}},
      {{"central name length 65535", [](Bytes& b) { Set16(b, RecordOf(b, "a.txt").central + 28, 0xFFFF); }},
       kNotValid, 0, {}, {}},
      {{"central extra length 65535", [](Bytes& b) { Set16(b, RecordOf(b, "sub/b.txt").central + 30, 0xFFFF); }},
       kNotValid, 0, {}, {}},
      {{"central comment length 65535",
        [](Bytes& b) { Set16(b, RecordOf(b, "sub/b.txt").central + 32, 0xFFFF); }},
       kNotValid, 0, {}, {}},
      // Methods nobody knows.
      {{"method 7", [](Bytes& b) { Set16(b, RecordOf(b, "a.txt").central + 10, 7); }}, nullptr, 5, kAllButA,
       {"a.txt"}},
      {{"method 65535", [](Bytes& b) { Set16(b, RecordOf(b, "a.txt").central + 10, 0xFFFF); }}, nullptr, 5,
       kAllButA, {"a.txt"}},
      // Many central entries pointing at one local header (a non-recursive
      // zip bomb): two entries with the same local header are refused.
      {{"every entry points at a.txt",
        [](Bytes& b) {
          const auto l = static_cast<uint32_t>(RecordOf(b, "a.txt").local);
          for (const RecordPos& r : Records(b)) Set32(b, r.central + 42, l);
        }},
       "EListError Duplicate Object index", 0, {}, {}},
      // A damaged directory: rebuilt from the local headers, up to garbage.
      {{"no central signature", [](Bytes& b) { for (const RecordPos& r : Records(b)) b[r.central] = 'X'; }},
       nullptr, 6, kAllFiles, {}},
      {{"no central signature, garbage after sub/empty",
        [](Bytes& b) {
          const size_t garbage = RecordOf(b, "sub/deeper/").local;
          for (const RecordPos& r : Records(b)) b[r.central] = 'X';
          for (size_t i = 0; i < 64; ++i) b[garbage + i] = static_cast<uint8_t>(i * 37 + 1);
        }},
       nullptr, 3, {"sub/b.txt", "sub/empty"}, {}},
      {{"no central signature, a local header claims 4 GB",
        [](Bytes& b) {
          for (const RecordPos& r : Records(b)) b[r.central] = 'X';
          Set32(b, RecordOf(b, "sub/b.txt").local + 18, 0xFFFFFFFF);
        }},
       nullptr, 1, {}, {"sub\\b.txt"}},  // the scan ends there; the entry stops at its stated size
      {{"no central signature, no local header",
        [](Bytes& b) {
          for (const RecordPos& r : Records(b)) b[r.central] = 'X';
          for (const RecordPos& r : Records(b)) b[r.local] = 'X';
        }},
       kNotValid, 0, {}, {}},
  };
  for (const RecordCase& c : cases) {
    SCOPED_TRACE(c.edit.what);
    Bytes b = base;
    c.edit.edit(b);
    const Outcome o = Run(b);
    EXPECT_TRUE(o.outside.empty()) << Describe(o);
    if (c.error) {
      EXPECT_EQ(o.error, c.error) << Describe(o);
    } else {
      ASSERT_TRUE(o.result.has_value()) << Describe(o);
      EXPECT_EQ(*o.result, c.result) << Describe(o);
    }
    std::vector<std::string> names;
    for (const auto& [name, data] : o.files) {
      names.push_back(name);
      std::string program_rel = name;
      for (char& ch : program_rel)
        if (ch == '/') ch = '\\';
      EXPECT_EQ(data, ReadBytes(Fixture("payload\\" + program_rel))) << name;
    }
    EXPECT_EQ(names, c.files) << Describe(o);
    EXPECT_EQ(o.bad_crc, c.bad_crc) << Describe(o);
  }
}

}  // namespace
