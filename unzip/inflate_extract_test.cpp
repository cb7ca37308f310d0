// Deflated archives of real tools through the extraction component: every
// archive of the same six files (Info-ZIP zip -1..-9, 7-Zip, Python; plain
// and encrypted) extracts to the same bytes, with good CRCs and no failures.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "unzip/huffman.h"
#include "unzip/reader_test_util.h"
#include "unzip/unzip.h"

using namespace readertest;

namespace {

const char* const kFiles[] = {"TEXT.TXT", "REPEAT.DAT", "RANDOM.BIN", "LIB.BIN", "SMALL.TXT", "EMPTY.TXT"};

std::string InflateFixture(const std::string& name) { return "..\\tests\\fixtures\\inflate\\" + name; }

struct Extracted {
  int result = 0;
  std::vector<std::string> failures;
  int ended = 0;
  std::map<std::string, Bytes> files;
};

Extracted ExtractAll(const std::string& archive) {
  TempDir dir;
  Extracted out;
  TUnZip uz;
  uz.RecreateDirs = true;
  uz.OverwriteMode = TUZOverwriteMode::Always;
  uz.DoAll = true;
  uz.SetDestDir(dir.Sub("out"));
  uz.SetZipName(InflateFixture(archive));
  uz.Password = "5763049182736450918273645091827364";
  uz.OnBadCRC = [&](TUnZip& u, uint32_t, uint32_t, int i) { out.failures.push_back("crc " + u.EntryPath(i)); };
  uz.OnSkippingFile = [&](TUnZip&, TSkipReason, const std::string& name, int) {
    out.failures.push_back("skip " + name);
  };
  uz.OnEndUnZip = [&](TUnZip&, int, const std::string&) { ++out.ended; };
  out.result = uz.ExtractFiles();
  for (const char* f : kFiles) out.files[f] = ReadBytes(platform::JoinPath(dir.Sub("out"), f));
  return out;
}

class DeflatedArchive : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { platform::SetHeadlessQuiet(true); }
  void TearDown() override { platform::SetHeadlessQuiet(false); }
};

TEST_P(DeflatedArchive, ExtractsTheSameBytesAsInfoZipLevel9) {
  static const Extracted reference = ExtractAll("infozip_9.zip");
  ASSERT_EQ(reference.result, 6);
  ASSERT_TRUE(reference.failures.empty());
  EXPECT_EQ(reference.files.at("REPEAT.DAT").size(), 131072u);
  EXPECT_EQ(reference.files.at("TEXT.TXT").size(), 50000u);

  const Extracted got = ExtractAll(GetParam());
  EXPECT_EQ(got.result, 6);
  EXPECT_EQ(got.ended, 6);
  EXPECT_TRUE(got.failures.empty()) << got.failures.front();
  for (const char* f : kFiles) EXPECT_EQ(got.files.at(f), reference.files.at(f)) << f;
}

INSTANTIATE_TEST_SUITE_P(Tools, DeflatedArchive,
                         testing::Values("infozip_1.zip", "infozip_2.zip", "infozip_3.zip", "infozip_4.zip",
                                         "infozip_5.zip", "infozip_6.zip", "infozip_7.zip", "infozip_8.zip",
                                         "infozip_9_crypt.zip", "7zip_deflate.zip", "7zip_deflate_crypt.zip",
                                         "python_deflate_1.zip", "python_deflate_9.zip"));

// Records the message boxes shown.
class RecordingUi : public platform::Ui {
 public:
  platform::ModalResult ShowMessage(std::string_view text, std::string_view caption, platform::MsgKind kind,
                                    unsigned) override {
    shown.push_back(std::string(caption) + ": " + std::string(text));
    kinds.push_back(kind);
    return platform::ModalResult::kOk;
  }
  void ProcessMessages() override {}
  void SetCursor(platform::Cursor) override {}
  bool OpenFileDialog(std::string_view, std::string_view, std::string_view, std::string&) override { return false; }
  bool SelectFolderDialog(std::string_view, std::string&) override { return false; }
  std::vector<std::string> shown;
  std::vector<platform::MsgKind> kinds;
};

void* NoMemory(size_t) { return nullptr; }

// A decoding table that cannot be allocated: the user sees the
// out-of-memory box once per failed entry, and the entry fails its CRC check
// (nothing of it is left on disk).
TEST(InflateOutOfMemory, MessageBoxAndFailedEntry) {
  RecordingUi ui;
  platform::SetUi(&ui);
  const HuffAllocator previous = SetHuffmanAllocator(NoMemory);
  TempDir dir;
  std::vector<std::string> bad_crc;
  int ended = 0;
  {
    TUnZip uz;
    uz.RecreateDirs = true;
    uz.OverwriteMode = TUZOverwriteMode::Always;
    uz.DoAll = true;
    uz.SetDestDir(dir.Sub("out"));
    uz.SetZipName(InflateFixture("infozip_9.zip"));
    uz.OnBadCRC = [&](TUnZip& u, uint32_t, uint32_t, int i) { bad_crc.push_back(u.EntryPath(i)); };
    uz.OnEndUnZip = [&](TUnZip&, int, const std::string&) { ++ended; };
    uz.ExtractFiles();
  }
  SetHuffmanAllocator(previous);
  platform::SetUi(nullptr);
  // Three deflated entries (TEXT.TXT, REPEAT.DAT, LIB.BIN); the stored ones
  // and the empty one come out.
  EXPECT_EQ(bad_crc.size(), 3u);
  EXPECT_EQ(ended, 3);
  ASSERT_EQ(ui.shown.size(), 3u);
  for (size_t i = 0; i < ui.shown.size(); ++i) {
    EXPECT_EQ(ui.shown[i], "Error: *** inflate out of memory ***");
    EXPECT_EQ(ui.kinds[i], platform::MsgKind::kError);
  }
  EXPECT_TRUE(ReadBytes(platform::JoinPath(dir.Sub("out"), "TEXT.TXT")).empty());
}

}  // namespace
