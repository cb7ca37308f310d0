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
#include "unzip/wildcard.h"

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

// A relative name with "/" separators as a program path.
std::string ProgramPath(std::string name) {
  for (char& ch : name)
    if (ch == '/') ch = '\\';
  return name;
}

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
      // "..." and ".. " name the parent there, and a name that ends in one is
      // refused.
      {"...", "...", nullptr},
      {"... /evil.txt", "... /evil.txt", nullptr},
      {".. /evil.txt", ".. /evil.txt", nullptr},
      {"a/.../evil.txt", "a/.../evil.txt", nullptr},
      {"./a.txt", "a.txt", "a.txt"},
      {"a/./b.txt", "a/b.txt", "a/b.txt"},
      {"a//b.txt", "a/b.txt", "a/b.txt"},
      {"dir./f.txt", "dir./f.txt", nullptr},
      {"dir /f.txt", "dir /f.txt", nullptr},  // "dir " cannot be opened as a folder there
      {"name.", "name.", nullptr},  // would land on "name"
      {"name ", "name ", nullptr},
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
      {"CONIN$", "CONIN$", nullptr},  // Wine waits on the console when these are written
      {"conout$.txt", "conout$.txt", nullptr},
      {"sub/CONOUT$", "sub/CONOUT$", nullptr},
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
      EXPECT_EQ(data, ReadBytes(Fixture("payload\\" + ProgramPath(name)))) << name;
    }
    EXPECT_EQ(names, c.files) << Describe(o);
    EXPECT_EQ(o.bad_crc, c.bad_crc) << Describe(o);
  }
}

// ---------------------------------------------------------------------------
// Encrypted entries

// A password other than `right` whose 12-byte header ends in the entry's
// check byte: it passes the check and decrypts garbage.
std::string PasswordPassingTheCheck(const Bytes& b, const RecordPos& r, const std::string& right) {
  const bool descriptor = (Get16(b, r.central + 8) & 8) != 0;
  const auto check =
      static_cast<uint8_t>(descriptor ? Get16(b, r.central + 12) >> 8 : Get32(b, r.central + 16) >> 24);
  const size_t data = DataPos(b, r);
  for (int i = 0; i < 100000; ++i) {
    const std::string candidate = "wrong" + std::to_string(i);
    if (candidate == right) continue;
    ZipKeys keys;
    keys.Init(candidate);
    uint8_t last = 0;
    for (size_t k = 0; k < 12; ++k) last = keys.DecryptByte(b[data + k]);
    if (last == check) return candidate;
  }
  ADD_FAILURE() << "no password passes the check";
  return right;
}

// A wrong password that passes the check byte decodes garbage (stored data,
// or deflated data that Inflate gives up on): the CRC check fails, the
// handler is asked again, no file is left; the right password then
// extracts the entry byte for byte.
TEST_F(HostileTest, PasswordThatPassesTheCheckByteButIsWrong) {
  for (const char* fixture : {"zip_stored_pw.zip", "zip_deflated_pw.zip", "7z_deflated_pw.zip", "zip_pipe_pw.zip"}) {
    for (const char* entry : {"sub/b.txt", "sub/deeper/rand.bin"}) {
      SCOPED_TRACE(std::string(fixture) + " " + entry);
      Bytes b = ReadBytes(Fixture(fixture));
      ASSERT_FALSE(b.empty());
      const RecordPos r = RecordOf(b, entry);
      const std::string wrong = PasswordPassingTheCheck(b, r, "secret");
      // Only this entry is selected.
      std::vector<std::string> asked;
      int decoded = 0;  // the password check passed: decoding starts
      Outcome o = Run(b, [&](TUnZip& uz) {
        uz.DoAll = false;
        uz.FilesList = {ProgramPath(entry)};
        uz.Password = wrong;
        uz.OnStartUnZip = [&decoded](TUnZip&, int, const std::string&, bool&) { ++decoded; };
        uz.OnBadPassword = [&asked](TUnZip&, int, std::string& pw) {
          asked.push_back(pw);
          if (asked.size() == 1) pw = "secret";
        };
      });
      EXPECT_EQ(decoded, 2);  // with the wrong password, then with the right one
      EXPECT_TRUE(o.outside.empty()) << Describe(o);
      ASSERT_TRUE(o.result.has_value()) << Describe(o);
      EXPECT_EQ(*o.result, 1) << Describe(o);
      ASSERT_EQ(asked.size(), 1u);
      EXPECT_EQ(asked[0], wrong);
      ASSERT_EQ(o.files.size(), 1u) << Describe(o);
      EXPECT_EQ(o.files.begin()->second, ReadBytes(Fixture("payload\\" + ProgramPath(entry))));

      // Without another password the entry is refused and leaves nothing.
      o = Run(b, [&](TUnZip& uz) {
        uz.Password = wrong;
        uz.DoAll = false;
        uz.FilesList = {ProgramPath(entry)};
      });
      ASSERT_TRUE(o.result.has_value()) << Describe(o);
      EXPECT_EQ(*o.result, 0) << Describe(o);
      EXPECT_TRUE(o.files.empty()) << Describe(o);
      ASSERT_EQ(o.refused.size(), 1u) << Describe(o);
      EXPECT_EQ(o.refused[0].rfind("password ", 0), 0u) << Describe(o);
    }
  }
}

// Compressed sizes below the 12-byte encryption header: the header is read
// all the same (from the bytes that follow), the data is empty, and the
// entry fails its check; nothing is written, the run goes on.
TEST_F(HostileTest, EncryptedEntriesSmallerThanTheirHeader) {
  for (const char* fixture : {"zip_stored_pw.zip", "zip_deflated_pw.zip"}) {
    for (uint32_t size : {0u, 1u, 11u, 12u}) {
      SCOPED_TRACE(std::string(fixture) + " size " + std::to_string(size));
      Bytes b = ReadBytes(Fixture(fixture));
      SetCentral32(b, "sub/b.txt", 20, size);
      const Outcome o = Run(b, [](TUnZip& uz) { uz.Password = "secret"; });
      EXPECT_TRUE(o.outside.empty()) << Describe(o);
      ASSERT_TRUE(o.result.has_value()) << Describe(o);
      EXPECT_EQ(*o.result, 5) << Describe(o);
      EXPECT_EQ(o.files.count("sub/b.txt"), 0u) << Describe(o);
      EXPECT_EQ(o.files.size(), 3u) << Describe(o);
      ASSERT_EQ(o.refused.size(), 1u) << Describe(o);
      EXPECT_EQ(o.refused[0], "password sub\\b.txt") << Describe(o);
    }
  }
  // The last entry of a hand-made archive with 5 bytes of data: its header
  // is read into the central directory.
  Bytes b = BuildArchive({{.name = "s.txt", .data = ToBytes("secret data"), .password = "pw"}});
  SetCentral32(b, "s.txt", 20, 5);
  const Outcome o = Run(b, [](TUnZip& uz) { uz.Password = "pw"; });
  ASSERT_TRUE(o.result.has_value()) << Describe(o);
  EXPECT_EQ(*o.result, 0) << Describe(o);
  EXPECT_TRUE(o.files.empty()) << Describe(o);
}

// ---------------------------------------------------------------------------
// Decoders fed random and truncated data

Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(n);
  for (uint8_t& x : out) x = static_cast<uint8_t>(rng());
  return out;
}

// Every method's decoder over random data, with a stated size of 100 000
// bytes and of 4 GB: the entry fails its CRC check, nothing is left, the
// run goes on to the next entry.
TEST_F(HostileTest, EveryDecoderOnRandomData) {
  struct Method {
    uint16_t method;
    uint16_t flags;
  } methods[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {6, 2}, {6, 4}, {6, 6}, {8, 0}};
  for (const Method& m : methods) {
    for (size_t size : {size_t{1}, size_t{64}, size_t{5000}, size_t{40000}}) {
      for (uint32_t unpacked : {100000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE("method " + std::to_string(m.method) + " flags " + std::to_string(m.flags) + " size " +
                     std::to_string(size) + " stated " + std::to_string(unpacked));
        HandEntry e{.name = "r.bin", .data = RandomBytes(size, static_cast<uint32_t>(size * 31 + m.method)),
                    .method = m.method, .flags = m.flags, .override_sizes = true,
                    .packed = static_cast<uint32_t>(size), .unpacked = unpacked};
        const Outcome o = Run(BuildArchive({e, {.name = "after.txt", .data = ToBytes("after")}}));
        EXPECT_TRUE(o.outside.empty()) << Describe(o);
        ASSERT_TRUE(o.result.has_value()) << Describe(o);
        EXPECT_EQ(*o.result, 1) << Describe(o);
        EXPECT_EQ(o.bad_crc, std::vector<std::string>{"r.bin"}) << Describe(o);
        ASSERT_EQ(o.files.size(), 1u) << Describe(o);
        EXPECT_EQ(o.files.count("after.txt"), 1u) << Describe(o);
      }
    }
  }
}

// Entries of real tools, one per decoder, cut short (the stated compressed
// size halved), overwritten with random bytes, or stating fewer bytes than
// they decode to: each fails its CRC check and leaves no file; the other
// entries of the archive come out.
TEST_F(HostileTest, EveryDecoderOnDamagedEntriesOfRealTools) {
  struct Source {
    const char* fixture;  // below tests/fixtures
    const char* entry;
  } sources[] = {
      {"inflate\\7zip_deflate.zip", "TEXT.TXT"},
      {"inflate\\7zip_deflate.zip", "REPEAT.DAT"},
      {"legacy\\commons-compress_SHRUNK.ZIP", "TEST1.XML"},
      {"legacy\\gen_hwzip_A_reduce1.zip", "README.TXT"},
      {"legacy\\gen_hwzip_A_reduce2.zip", "README.TXT"},
      {"legacy\\gen_hwzip_A_reduce3.zip", "README.TXT"},
      {"legacy\\gen_hwzip_A_reduce4.zip", "README.TXT"},
      {"legacy\\commons-compress_imploding-4Kdict-2trees.zip", "HEADER.TXT"},
      {"legacy\\commons-compress_imploding-8Kdict-3trees.zip", "LICENSE.TXT"},
  };
  const char* const damages[] = {"cut to half", "random data", "stated size 1000"};
  for (const Source& src : sources) {
    const Bytes base = ReadBytes("..\\tests\\fixtures\\" + std::string(src.fixture));
    ASSERT_FALSE(base.empty()) << src.fixture;
    const int entries = static_cast<int>(Records(base).size());
    const Outcome good = Run(base);
    ASSERT_TRUE(good.result.has_value()) << src.fixture << ": " << Describe(good);
    ASSERT_EQ(*good.result, entries) << src.fixture << ": " << Describe(good);
    for (int d = 0; d < 3; ++d) {
      SCOPED_TRACE(std::string(src.fixture) + " " + src.entry + ": " + damages[d]);
      Bytes b = base;
      const RecordPos r = RecordOf(b, src.entry);
      const uint32_t packed = Get32(b, r.central + 20);
      if (d == 0) Set32(b, r.central + 20, packed / 2);
      if (d == 1) {
        const Bytes noise = RandomBytes(packed, packed);
        std::copy(noise.begin(), noise.end(), b.begin() + static_cast<ptrdiff_t>(DataPos(b, r)));
      }
      if (d == 2) Set32(b, r.central + 24, 1000);
      const Outcome o = Run(b);
      EXPECT_TRUE(o.outside.empty()) << Describe(o);
      ASSERT_TRUE(o.result.has_value()) << Describe(o);
      EXPECT_EQ(*o.result, entries - 1) << Describe(o);
      EXPECT_EQ(o.bad_crc, std::vector<std::string>{src.entry}) << Describe(o);
      EXPECT_EQ(o.files.count(src.entry), 0u) << Describe(o);
      // The other entries are as in the undamaged run.
      auto expected = good.files;
      expected.erase(src.entry);
      EXPECT_EQ(o.files, expected) << Describe(o);
    }
  }
}

// ---------------------------------------------------------------------------
// Overlapping entries (a non-recursive zip bomb)

// n stored entries whose data overlap: entry i's data is every local header
// after its own plus the kernel. Each entry is a correct entry on its own.
Bytes OverlappingArchive(int n, size_t kernel_size, std::vector<Bytes>& contents) {
  Bytes tail = RandomBytes(kernel_size, 7);
  std::vector<Bytes> headers(n);
  contents.assign(n, {});
  for (int i = n - 1; i >= 0; --i) {
    const std::string name = "f" + std::to_string(i) + ".bin";
    contents[i] = tail;
    Bytes h;
    Put32(h, 0x04034B50);
    Put16(h, 20);
    Put16(h, 0);
    Put16(h, 0);
    Put32(h, 0x2A434A23);
    Put32(h, Crc(tail));
    Put32(h, static_cast<uint32_t>(tail.size()));
    Put32(h, static_cast<uint32_t>(tail.size()));
    Put16(h, static_cast<uint16_t>(name.size()));
    Put16(h, 0);
    h.insert(h.end(), name.begin(), name.end());
    headers[i] = h;
    h.insert(h.end(), tail.begin(), tail.end());
    tail = h;
  }
  Bytes out = tail, central;
  uint32_t offset = 0;
  for (int i = 0; i < n; ++i) {
    const Bytes& h = headers[i];
    Put32(central, 0x02014B50);
    Put16(central, 20);
    central.insert(central.end(), h.begin() + 4, h.begin() + 30);  // version needed .. extra length
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, 0x20);
    Put32(central, offset);
    central.insert(central.end(), h.begin() + 30, h.end());  // the name
    offset += static_cast<uint32_t>(h.size());
  }
  const auto dir = static_cast<uint32_t>(out.size());
  out.insert(out.end(), central.begin(), central.end());
  Put32(out, 0x06054B50);
  Put32(out, 0);
  Put16(out, static_cast<uint16_t>(n));
  Put16(out, static_cast<uint16_t>(n));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, dir);
  Put16(out, 0);
  return out;
}

// The reader does not look for overlapping data: every entry comes out as
// stated, and the output is exactly the sum of the stated sizes, never more.
// (Entries that share one local header are refused: DirectoryRecordsThatLie.)
TEST_F(HostileTest, OverlappingEntriesComeOutAtTheirStatedSizes) {
  std::vector<Bytes> contents;
  const Bytes archive = OverlappingArchive(60, 20000, contents);
  uint64_t stated = 0;
  for (const Bytes& c : contents) stated += c.size();
  const Outcome o = Run(archive);
  ASSERT_TRUE(o.result.has_value()) << Describe(o);
  EXPECT_EQ(*o.result, 60);
  EXPECT_TRUE(o.outside.empty());
  uint64_t written = 0;
  for (const auto& [name, data] : o.files) written += data.size();
  EXPECT_EQ(written, stated);
  EXPECT_GT(written, 30 * archive.size());  // 60 entries from one kernel
  for (int i = 0; i < 60; ++i) {
    const auto it = o.files.find("f" + std::to_string(i) + ".bin");
    ASSERT_NE(it, o.files.end()) << i;
    EXPECT_EQ(it->second, contents[i]) << i;
  }
}

// ---------------------------------------------------------------------------
// Garbage

// Random bytes with record signatures strewn in, read with and without the
// local-header scan: the run ends in the component's exceptions or refuses
// and fails entries, never anything else, and writes nothing outside.
TEST_F(HostileTest, GarbageWithSignaturesEndsInTheComponentsErrors) {
  const uint8_t sigs[][4] = {{'P', 'K', 3, 4}, {'P', 'K', 1, 2}, {'P', 'K', 5, 6}, {'P', 'K', 7, 8}};
  int returned = 0;
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    Bytes b = RandomBytes(200 + rng() % 4000, seed);
    const int count = 1 + static_cast<int>(rng() % 12);
    for (int i = 0; i < count; ++i) {
      const size_t at = rng() % (b.size() - 4);
      std::memcpy(&b[at], sigs[rng() % 4], 4);
      // Small sizes and offsets now and then, so that records point inside.
      if (at + 30 < b.size() && rng() % 2) {
        Set32(b, at + 18, rng() % 300);
        Set32(b, at + 22, rng() % 300);
        Set16(b, at + 26, static_cast<uint16_t>(rng() % 20));
        Set16(b, at + 28, 0);
      }
    }
    const Outcome o = Run(b, [seed](TUnZip& uz) {
      uz.IncompleteZipMode = seed % 2 ? TIncompleteZipMode::izAssumeBad : TIncompleteZipMode::izAssumeMulti;
      uz.Password = "pw";
    });
    EXPECT_TRUE(o.outside.empty()) << Describe(o);
    if (o.result) {
      ++returned;
    } else {
      EXPECT_EQ(o.error.rfind("Exception", 0), std::string::npos) << "not one of the component's: " << o.error;
    }
  }
  EXPECT_GT(returned, 0);  // some runs got as far as extracting
}

// ---------------------------------------------------------------------------
// Masks against hostile names

// Masks with several stars against long names that almost match: each star
// used to retry every later star at every position (time growing with the
// name's length to the power of the stars). The results stay those of the
// walk.
TEST(HostileWildcard, ManyStarsAgainstLongNamesEnd) {
  const std::string dots(60000, '.');
  const std::string as(3000, 'a');
  struct Case {
    std::string pattern, text;
    int result;
  } cases[] = {
      {"*.*.*.*.*x", dots, kWildTextEnded},
      {"*a*a*a*a*a*a*a*b", as, kWildTextEnded},
      {"*?*?*?*?*?*?*b", as, kWildLiteralDiffers},
      {"*<a>*x", "aax", kWildMatch},
      {"*<a>*x", "abx", kWildTextEnded},
      {"*a*a*a*a*a*a*a*a", as, kWildMatch},
      {"*<a-c>*<a-c>*<a-c>*d", as, kWildTextEnded},
      {"*a*a*a*a*a*a*a*", as + "b", kWildMatch},
  };
  for (const Case& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.result) << c.pattern;
}

}  // namespace
