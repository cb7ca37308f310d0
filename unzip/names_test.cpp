// Entry names outside ASCII: UTF-8 names (bit 11, the Unicode Path extra
// field, Info-ZIP zip on Unix) and OEM names, as archivers write them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"
#include "unzip/crc32.h"
#include "unzip/unzip.h"
#include "unzip/zip_entry.h"

namespace {

std::string Fixture(const std::string& name) { return "..\\tests\\fixtures\\names\\" + name; }

// The program text the user should see for a name, in this system's ANSI code page.
std::string Ansi(const std::string& utf8) { return platform::Utf8ToAnsi(utf8, '_'); }

// True where the ANSI code page holds Cyrillic (always in the Linux build;
// under Wine with a Russian locale).
bool CyrillicAnsi() { return Ansi("Ж") == "\xC6"; }

std::vector<std::string> Paths(TUnZip& zip) {
  std::vector<std::string> out;
  for (int i = 0; i < zip.EntryCount(); ++i) out.push_back(zip.EntryPath(i));
  return out;
}

struct ArchiveCase {
  const char* archive;
  std::vector<std::string> utf8_paths;  // expected, in archive order
  bool oem;                             // the names are OEM (depend on the system's OEM code page)
};

const ArchiveCase kArchives[] = {
    {"infozip_utf8.zip", {"Установка.txt"}, false},           // no flag: zip on Unix stores UTF-8 as is
    {"7zip_utf8.zip", {"Установка.txt", "中文.txt"}, false},  // bit 11
    {"python_utf8.zip", {"Папка\\Установка.txt", "中文.txt"}, false},
    {"infozip_cp866.zip", {"Привет.txt"}, true},  // a name in code page 866 from a file system that had one
    {"python_bad_utf8.zip", {"Пр.txt"}, true},    // bit 11 over bytes that are not UTF-8: OEM
};

TEST(EntryNames, ArchivesOfRealToolsGiveTheRightNames) {
  for (const ArchiveCase& c : kArchives) {
    if (c.oem && !CyrillicAnsi()) continue;  // OEM 437 systems read these bytes as other letters
    TUnZip zip;
    zip.SetZipName(Fixture(c.archive));
    zip.OpenArchive();
    std::vector<std::string> want;
    for (const std::string& p : c.utf8_paths) want.push_back(Ansi(p));
    EXPECT_EQ(Paths(zip), want) << c.archive;
  }
}

TEST(EntryNames, CharactersTheCodePageLacksBecomeUnderscores) {
  TUnZip zip;
  zip.SetZipName(Fixture("7zip_utf8.zip"));
  zip.OpenArchive();
  ASSERT_EQ(zip.EntryCount(), 2);
  EXPECT_EQ(zip.EntryPath(1), "__.txt");
  if (CyrillicAnsi()) {
    EXPECT_EQ(zip.EntryPath(0), "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0.txt");
  }
}

TEST(EntryNames, ExtractedFilesCarryTheNames) {
  for (const ArchiveCase& c : kArchives) {
    if (c.oem && !CyrillicAnsi()) continue;
    kvtest::TempDir dir;
    TUnZip zip;
    zip.SetZipName(Fixture(c.archive));
    zip.SetDestDir(dir.path());
    zip.DoAll = true;
    zip.RecreateDirs = true;
    zip.OverwriteMode = TUZOverwriteMode::Always;
    EXPECT_EQ(zip.ExtractFiles(), static_cast<int>(c.utf8_paths.size())) << c.archive;
    for (const std::string& p : c.utf8_paths) {
      EXPECT_TRUE(platform::FileExists(dir / Ansi(p))) << c.archive << ": " << p;
#ifndef _WIN32
      // On Linux the file's name is UTF-8, whatever the archive held.
      std::string host = p;
      std::replace(host.begin(), host.end(), '\\', '/');
      if (CyrillicAnsi() && host.find("中") == std::string::npos) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(platform::HostPath(dir.path())) / host))
            << c.archive << ": " << host;
      }
#endif
    }
  }
}

std::string UnicodePathExtra(const std::string& stored, const std::string& utf8, uint32_t crc_fix = 0) {
  const uint32_t crc =
      ~UpdateCrc32(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(stored.data()), stored.size()) ^ crc_fix;
  std::string data;
  data += '\x01';  // version
  for (int i = 0; i < 4; ++i) data += static_cast<char>(crc >> (8 * i));
  data += utf8;
  std::string field = "\x75\x70";
  field += static_cast<char>(data.size());
  field += '\0';
  return std::string("\x55\x54\x01\x00\x00", 5) + field + data;  // behind another record
}

TEST(EntryNames, ConversionRules) {
  const std::string utf8_name = "Установка/файл.txt";
  const std::string want = Ansi("Установка\\файл.txt");
  // Bit 11 wins over everything; an invalid UTF-8 name under it is OEM.
  EXPECT_EQ(ConvertStoredName(utf8_name, kFlagUtf8), want);
  EXPECT_EQ(ConvertStoredName("\x8F\xE0", kFlagUtf8), platform::OemToAnsi("\x8F\xE0"));
  // The Unicode Path field counts only while its CRC matches the stored name.
  const std::string oem = "SETUP~1.TXT";
  EXPECT_EQ(ConvertStoredName(oem, 0, UnicodePathExtra(oem, "Установка.txt")), Ansi("Установка.txt"));
  EXPECT_EQ(ConvertStoredName(oem, 0, UnicodePathExtra(oem, "Установка.txt", 1)), oem);
  // A truncated extra field is ignored.
  EXPECT_EQ(ConvertStoredName(oem, 0, UnicodePathExtra(oem, "Установка.txt").substr(0, 12)), oem);
  // Made on Unix (host 3): a valid UTF-8 name is UTF-8; on DOS (host 0) it is OEM.
  EXPECT_EQ(ConvertStoredName(utf8_name, 0, {}, 0x031E), want);
  EXPECT_EQ(ConvertStoredName(utf8_name, 0, {}, 0x0014), platform::OemToAnsi("Установка\\файл.txt"));
  // ASCII names are the same either way.
  EXPECT_EQ(ConvertStoredName("dir/readme.txt", 0, {}, 0x031E), "dir\\readme.txt");
}

}  // namespace
