// Tests of the legacy decoders: every legacy entry of the fixture archives
// (made by other tools) decodes to the recorded content, and hand-built
// streams show the edge cases and the handling of broken data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "unzip/explode.h"
#include "unzip/huffman.h"
#include "unzip/memory_host.h"
#include "unzip/sha256.h"
#include "unzip/test_archive.h"
#include "unzip/unreduce.h"
#include "unzip/unshrink.h"

namespace {

const char kFixtureDir[] = "tests/fixtures/legacy/";
const char kPassword[] = "5763049182736450918273645091827364";

// ---------------------------------------------------------------- fixtures

struct ManifestRow {
  std::string file, entry;
  int method = 0;
  uint16_t flags = 0;
  uint32_t size = 0, crc = 0;
  std::string sha256;
};

std::vector<ManifestRow> ReadManifest() {
  std::vector<ManifestRow> rows;
  std::ifstream in(std::string(kFixtureDir) + "MANIFEST.tsv");
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string cell;
    while (std::getline(ss, cell, '\t')) f.push_back(cell);
    if (f.size() < 8) continue;
    ManifestRow r;
    r.file = f[0];
    r.entry = f[2];
    r.method = std::stoi(f[3]);
    r.flags = static_cast<uint16_t>(std::stoul(f[4], nullptr, 16));
    r.size = static_cast<uint32_t>(std::stoul(f[5]));
    r.crc = static_cast<uint32_t>(std::stoul(f[6], nullptr, 16));
    r.sha256 = f[7];
    rows.push_back(r);
  }
  return rows;
}

// Decodes every manifest entry whose method is in [first, last] and checks it
// against the recorded size, CRC-32 and SHA-256. One context serves all
// entries, as in an extraction run; its window is filled with garbage before
// each entry, so an entry that depended on earlier window contents would fail.
void CheckFixtureEntries(int first_method, int last_method) {
  const auto rows = ReadManifest();
  ASSERT_FALSE(rows.empty()) << "no MANIFEST.tsv in " << kFixtureDir;
  std::map<std::string, std::vector<const ManifestRow*>> by_file;
  for (const auto& r : rows) by_file[r.file].push_back(&r);

  MemoryHost placeholder(nullptr, 0, 0);
  UnzipWork work(&placeholder);
  int checked = 0;
  for (const auto& [file, file_rows] : by_file) {
    TestArchive archive(kFixtureDir + file);
    ASSERT_TRUE(archive.ok()) << archive.error();
    ASSERT_EQ(archive.entries().size(), file_rows.size()) << file;
    for (size_t i = 0; i < file_rows.size(); ++i) {
      const ManifestRow& row = *file_rows[i];
      if (row.method < first_method || row.method > last_method) continue;
      SCOPED_TRACE(file + ": " + row.entry);
      const TestArchiveEntry& e = archive.entries()[i];
      ASSERT_EQ(e.method, row.method);
      const uint8_t* data = archive.Data(e);
      size_t size = e.packed_size;
      ZipKeys keys;
      const bool encrypted = (e.flags & 1) != 0;
      if (encrypted) {
        ASSERT_TRUE(archive.OpenEncrypted(e, kPassword, keys, data, size));
      }
      std::memset(work.Window.get(), 0xA5, UnzipWork::kWindowSize);
      const DecodeOutcome out = DecodeLegacy(e.method, e.flags, data, size, e.unpacked_size,
                                             encrypted ? &keys : nullptr, true, &work);
      EXPECT_FALSE(out.too_large);
      EXPECT_EQ(out.size, row.size);
      EXPECT_EQ(out.crc, row.crc);
      EXPECT_EQ(Sha256Hex(out.output.data(), out.output.size()), row.sha256);
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

TEST(LegacyFixtures, ShrunkEntriesDecodeExactly) { CheckFixtureEntries(1, 1); }
TEST(LegacyFixtures, ReducedEntriesDecodeExactly) { CheckFixtureEntries(2, 5); }
TEST(LegacyFixtures, ImplodedEntriesDecodeExactly) { CheckFixtureEntries(6, 6); }

// The compressed data of one fixture entry (not encrypted).
std::vector<uint8_t> FixtureData(const std::string& file, const std::string& entry,
                                 uint32_t* unpacked_size = nullptr) {
  TestArchive archive(kFixtureDir + file);
  EXPECT_TRUE(archive.ok()) << archive.error();
  const TestArchiveEntry* e = archive.Find(entry);
  EXPECT_NE(e, nullptr) << file << ": " << entry;
  if (!e) return {};
  if (unpacked_size) *unpacked_size = e->unpacked_size;
  return std::vector<uint8_t>(archive.Data(*e), archive.Data(*e) + e->packed_size);
}

// ---------------------------------------------------------------- streams

// Builds a bit stream least significant bit first, as the decoders read it.
class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = 0; i < bits; ++i) {
      if (count_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(1 << (count_ % 8));
      ++count_;
    }
  }
  // A Shannon-Fano code of an imploded stream: the complement of the code,
  // most significant bit first.
  void PutCode(uint32_t code, int bits) {
    const uint32_t sent = ~code & ((1u << bits) - 1);
    for (int i = bits - 1; i >= 0; --i) Put((sent >> i) & 1, 1);
  }
  void Byte(uint8_t b) { Put(b, 8); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t count_ = 0;
};

// Appends what a match copies, byte by byte (overlaps repeat).
void AppendMatch(std::string& s, size_t distance, size_t length) {
  for (size_t i = 0; i < length; ++i) s += s[s.size() - distance];
}

std::string AsString(const DecodeOutcome& out) {
  return std::string(out.output.begin(), out.output.end());
}

DecodeOutcome Decode(int method, uint16_t flags, const std::vector<uint8_t>& data,
                  uint32_t unpacked_size, UnzipWork* work = nullptr) {
  return DecodeLegacy(method, flags, data.data(), data.size(), unpacked_size, nullptr, true, work);
}

// ---------------------------------------------------------------- unshrink

// Codes of a shrunk stream with their widths.
std::vector<uint8_t> ShrinkStream(const std::vector<std::pair<int, int>>& codes) {
  BitWriter w;
  for (auto [code, bits] : codes) w.Put(static_cast<uint32_t>(code), bits);
  return w.bytes();
}

TEST(Unshrink, SingleByteEntryOutputsTheFirstCodeAndStopsAtTheEnd) {
  const auto out = Decode(1, 0, ShrinkStream({{'A', 9}}), 1);
  EXPECT_EQ(AsString(out), "A");
}

TEST(Unshrink, ControlCodeOneWidensCodesFromTheNextCode) {
  // A, B (defines 257 = AB), 256,1 in 9 bits, then 257 in 10 bits.
  const auto out = Decode(1, 0, ShrinkStream({{'A', 9}, {'B', 9}, {256, 9}, {1, 9}, {257, 10}}), 4);
  EXPECT_EQ(AsString(out), "ABAB");
}

TEST(Unshrink, PartialClearFreesLeavesAndNewCodesReuseTheLowestFreed) {
  // A B C AB C: defines 257=AB, 258=BC, 259=CA, 260=ABC. 257 is the prefix of
  // 260, so 256,2 frees only the leaves 258, 259 and 260. The next new codes
  // take 258 (CD) and 259 (DC); 257 still stands for AB.
  const auto out = Decode(1, 0,
                       ShrinkStream({{'A', 9}, {'B', 9}, {'C', 9}, {257, 9}, {'C', 9}, {256, 9},
                                     {2, 9}, {'D', 9}, {258, 9}, {257, 9}, {259, 9}}),
                       14);
  EXPECT_EQ(AsString(out), "ABCABCDCDABDC");
}

TEST(Unshrink, BrokenStreamsStopWithoutOverrunningTheTables) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> codes;
    std::string expected;
  };
  const Case cases[] = {
      // Five 256,1 sequences would make 14-bit codes; the tables hold 13.
      {"codes past 13 bits",
       {{'A', 9}, {256, 9}, {1, 9}, {256, 10}, {1, 10}, {256, 11}, {1, 11}, {256, 12}, {1, 12},
        {256, 13}, {1, 13}, {16000, 14}, {'B', 14}},
       "A"},
      // 257=AB, 258=BA; 256,2 frees both, also the previous code 257, so the
      // next new code 257 becomes its own prefix: an endless chain.
      {"a chain longer than the stack",
       {{'A', 9}, {'B', 9}, {257, 9}, {256, 9}, {2, 9}, {'A', 9}, {257, 9}, {'C', 9}},
       "ABABA"},
      // Nothing is defined before the first code but the bytes.
      {"a first code that is not a byte", {{300, 9}, {'A', 9}}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto out = Decode(1, 0, ShrinkStream(c.codes), 100000);
    EXPECT_EQ(AsString(out), c.expected);
    EXPECT_FALSE(out.too_large);
  }
}

TEST(Unshrink, InputEndingInsideACodeEndsDecoding) {
  // Eight 9-bit codes fill 9 bytes exactly; one more byte holds only 8 of the
  // 9 bits of a further code. Taking zero bits from there on would decode
  // code 0 over and over.
  std::vector<std::pair<int, int>> codes;
  for (char c = 'A'; c <= 'H'; ++c) codes.push_back({c, 9});
  auto data = ShrinkStream(codes);
  ASSERT_EQ(data.size(), 9u);
  data.push_back(0x41);
  const auto out = Decode(1, 0, data, 1000000);
  EXPECT_EQ(AsString(out), "ABCDEFGH");
  EXPECT_FALSE(out.too_large);
}

// ---------------------------------------------------------------- unreduce

// A reduced stream: follower sets (from character 255 down to 0), then
// whatever `body` writes.
template <typename Body>
std::vector<uint8_t> ReduceStream(const std::map<int, std::string>& sets, Body body) {
  BitWriter w;
  for (int c = 255; c >= 0; --c) {
    auto it = sets.find(c);
    const std::string set = it == sets.end() ? "" : it->second;
    w.Put(static_cast<uint32_t>(set.size()), 6);
    for (char f : set) w.Byte(static_cast<uint8_t>(f));
  }
  body(w);
  return w.bytes();
}

TEST(Unreduce, EscapeFollowedByZeroIsTheByte144) {
  // No follower sets: every byte is 8 plain bits, without a flag bit.
  const auto data = ReduceStream({}, [](BitWriter& w) {
    w.Byte('A');
    w.Byte(144);
    w.Byte(0);
    w.Byte('B');
  });
  for (int factor = 1; factor <= 4; ++factor) {
    SCOPED_TRACE(factor);
    EXPECT_EQ(AsString(Decode(1 + factor, 0, data, 3)), "A\x90" "B");
  }
}

TEST(Unreduce, FollowerSetsAndEmptySets) {
  // 'A' has the followers "BC" (1 index bit); 'B' and 'C' have none, so the
  // byte after them is 8 plain bits without a flag bit.
  const auto data = ReduceStream({{'A', "BC"}}, [](BitWriter& w) {
    w.Byte('A');       // after character 0 (no set): 8 plain bits
    w.Put(0, 1);       // after 'A': follower...
    w.Put(1, 1);       // ...number 1 = 'C'
    w.Byte('A');       // after 'C' (no set)
    w.Put(1, 1);       // after 'A': a plain byte follows
    w.Byte('Z');
  });
  EXPECT_EQ(AsString(Decode(2, 0, data, 4)), "ACAZ");
}

TEST(Unreduce, MatchesPerFactor) {
  // "ABC", then a match of length 5 at distance 3 (self-overlapping), per
  // factor: the length sits in the low bits of V, the high distance bits in
  // its top bits; here the high distance bits are 0.
  for (int factor = 1; factor <= 4; ++factor) {
    SCOPED_TRACE(factor);
    const auto data = ReduceStream({}, [](BitWriter& w) {
      w.Byte('A');
      w.Byte('B');
      w.Byte('C');
      w.Byte(144);
      w.Byte(5 - 3);  // V: length - 3
      w.Byte(3 - 1);  // distance - 1
    });
    EXPECT_EQ(AsString(Decode(1 + factor, 0, data, 8)), "ABCABCAB");
  }
}

TEST(Unreduce, LongLengthAndHighDistanceBits) {
  // Factor 4: length mask 15, so V & 15 = 15 takes one more byte for the
  // length; V >> 4 = 1 adds 256 to the distance.
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>('a' + i % 26);
  const auto data = ReduceStream({}, [&](BitWriter& w) {
    for (char c : text) w.Byte(static_cast<uint8_t>(c));
    w.Byte(144);
    w.Byte(0x1F);  // distance bits 1, length 15 + next byte
    w.Byte(20);    // length = 15 + 20 + 3 = 38
    w.Byte(43);    // distance = 256 + 43 + 1 = 300
  });
  const std::string expected = text + text.substr(0, 38);
  EXPECT_EQ(AsString(Decode(5, 0, data, static_cast<uint32_t>(expected.size()))), expected);
}

TEST(Unreduce, MatchBeforeTheFirstByteGivesZeros) {
  MemoryHost placeholder(nullptr, 0, 0);
  UnzipWork work(&placeholder);
  std::memset(work.Window.get(), 0xEE, UnzipWork::kWindowSize);
  const auto data = ReduceStream({}, [](BitWriter& w) {
    w.Byte('A');
    w.Byte(144);
    w.Byte(1);   // length 4
    w.Byte(9);   // distance 10: 9 bytes before the first one
  });
  EXPECT_EQ(AsString(Decode(2, 0, data, 5, &work)), std::string("A\0\0\0\0", 5));
}

TEST(Unreduce, BrokenStreamsStopEarly) {
  // 'A' has 3 followers (2 index bits); index 3 names none. Decoding on
  // from there would fill more than a window with the matches that follow.
  MemoryHost placeholder(nullptr, 0, 0);
  UnzipWork work(&placeholder);
  std::memset(work.Window.get(), 0, UnzipWork::kWindowSize);
  const auto bad_index = ReduceStream({{'A', "xyz"}}, [](BitWriter& w) {
    w.Byte('A');
    w.Put(0, 1);
    w.Put(3, 2);
    for (int i = 0; i < 50; ++i) {
      w.Byte(144);
      w.Byte(0x7F);  // factor 1: length 127 + next byte
      w.Byte(255);   // length 385
      w.Byte(0);     // distance 1
    }
  });
  EXPECT_EQ(Decode(2, 0, bad_index, 100000, &work).size, 0u);

  // Ten bytes that claim 2 GB: decoding stops at the end of the input
  // instead of producing 2 GB of filler.
  const std::vector<uint8_t> ten(10, 0);
  for (int method = 2; method <= 5; ++method) {
    const auto out =
        DecodeLegacy(method, 0, ten.data(), ten.size(), 0x7FFFFFFF, nullptr, false);
    EXPECT_EQ(out.size, 0u);
  }
}

TEST(Unreduce, TruncatedRealStreamStopsAtTheEndOfItsInput) {
  uint32_t size = 0;
  auto data = FixtureData("gen_hwzip_A_reduce4.zip", "PLAY.TXT", &size);
  ASSERT_EQ(size, 76000u);
  data.resize(data.size() / 2);
  const auto out = DecodeLegacy(5, 0, data.data(), data.size(), size, nullptr, false);
  // Whole windows decoded from the first half are written; nothing is made up
  // from filler bits.
  EXPECT_LT(out.size, 60000u);
  EXPECT_FALSE(out.too_large);
}

// ---------------------------------------------------------------- explode

// An imploded stream with simple code trees: every length and distance code
// 6 bits long (code = value), every literal 8 bits (code = byte).
class ImplodeWriter {
 public:
  ImplodeWriter(bool large_dictionary, bool literal_tree)
      : large_(large_dictionary), literal_tree_(literal_tree) {
    if (literal_tree_) Tree(256, 8);
    Tree(64, 6);  // lengths
    Tree(64, 6);  // distances
  }
  void Literal(uint8_t b) {
    w_.Put(1, 1);
    if (literal_tree_) {
      w_.PutCode(b, 8);
    } else {
      w_.Byte(b);
    }
  }
  void Match(uint32_t distance, uint32_t length) {
    w_.Put(0, 1);
    const int low_bits = large_ ? 7 : 6;
    const uint32_t d = distance - 1;
    w_.Put(d & ((1u << low_bits) - 1), low_bits);
    w_.PutCode(d >> low_bits, 6);
    const uint32_t code = length - (literal_tree_ ? 3 : 2);
    if (code >= 63) {
      w_.PutCode(63, 6);
      w_.Put(code - 63, 8);
    } else {
      w_.PutCode(code, 6);
    }
  }
  std::vector<uint8_t> bytes() const {
    std::vector<uint8_t> out = head_;
    out.insert(out.end(), w_.bytes().begin(), w_.bytes().end());
    return out;
  }

 private:
  // All `count` codes of length `bits`: descriptions of 16 codes each.
  void Tree(int count, int bits) {
    head_.push_back(static_cast<uint8_t>(count / 16 - 1));
    for (int i = 0; i < count / 16; ++i) head_.push_back(static_cast<uint8_t>(0xF0 | (bits - 1)));
  }
  bool large_, literal_tree_;
  std::vector<uint8_t> head_;
  BitWriter w_;
};

TEST(Explode, DictionaryFlagChoosesTheLowDistanceBits) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>(i * 7);
  // A match at distance 150 codes its low bits differently with 6 (4K) and 7
  // (8K) low bits; a length over 65 uses code 63 and 8 more bits.
  std::string expected = text;
  AppendMatch(expected, 150, 10);
  AppendMatch(expected, 50, 100);
  for (uint16_t flags : {0, 2, 4, 6}) {
    SCOPED_TRACE(flags);
    ImplodeWriter w(flags & 2, flags & 4);
    for (char c : text) w.Literal(static_cast<uint8_t>(c));
    w.Match(150, 10);
    w.Match(50, 100);
    const auto data = w.bytes();
    const auto size = static_cast<uint32_t>(expected.size());
    EXPECT_EQ(AsString(Decode(6, flags, data, size)), expected);
    // The same stream read with the other dictionary size is something else.
    EXPECT_NE(AsString(Decode(6, flags ^ 2, data, size)), expected);
  }
}

TEST(Explode, DistancesUpTo8KAnd4K) {
  std::string text;
  for (int i = 0; i < 8200; ++i) text += static_cast<char>('a' + (i * 31 + i / 97) % 26);
  for (uint16_t flags : {0, 2}) {
    const uint32_t distance = flags ? 8192 : 4096;
    SCOPED_TRACE(distance);
    ImplodeWriter w(flags & 2, false);
    for (char c : text) w.Literal(static_cast<uint8_t>(c));
    w.Match(distance, 20);
    std::string expected = text;
    AppendMatch(expected, distance, 20);
    EXPECT_EQ(AsString(Decode(6, flags, w.bytes(), static_cast<uint32_t>(expected.size()))), expected);
  }
}

TEST(Explode, MatchBeforeTheFirstByteGivesZeros) {
  MemoryHost placeholder(nullptr, 0, 0);
  UnzipWork work(&placeholder);
  std::memset(work.Window.get(), 0xEE, UnzipWork::kWindowSize);
  ImplodeWriter w(false, false);
  w.Literal('A');
  w.Match(3, 4);  // two bytes before the first one, then 'A', then a zero
  EXPECT_EQ(AsString(Decode(6, 0, w.bytes(), 5, &work)), std::string("A\0\0A\0", 5));
}

TEST(Explode, WindowWrapsInOrderForLargeEntries) {
  // 40000 bytes: more than one window; a match across the window end.
  std::string text;
  for (int i = 0; i < 32760; ++i) text += static_cast<char>('A' + i % 23);
  ImplodeWriter w(true, true);
  for (char c : text) w.Literal(static_cast<uint8_t>(c));
  std::string expected = text;
  for (int k = 0; k < 100; ++k) {
    w.Match(1000, 66);  // length 66: code 63 with 8 extra bits = 0
    AppendMatch(expected, 1000, 66);
  }
  EXPECT_EQ(AsString(Decode(6, 6, w.bytes(), static_cast<uint32_t>(expected.size()))), expected);
}

TEST(Explode, WiderDistanceLookupForLargeEntriesDecodesTheSame) {
  // More than 200000 bytes of compressed data left: the distance table is
  // built with an 8-bit first level instead of 7. The bytes behind the real
  // stream are never reached.
  uint32_t size = 0;
  auto data = FixtureData("gen_hwzip_A_implode-8k3.zip", "PLAY.TXT", &size);
  const auto plain = Decode(6, 6, data, size);
  data.resize(data.size() + 200001, 0);
  const auto padded = Decode(6, 6, data, size);
  EXPECT_EQ(padded.size, size);
  EXPECT_EQ(padded.crc, plain.crc);
  EXPECT_EQ(plain.crc, 0x4c7b2c64u);
}

TEST(Explode, BrokenTreesEndWithoutOutput) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
  };
  const Case cases[] = {
      // 80 lengths described for 64 codes.
      {"too many lengths", {4, 0xF5, 0xF5, 0xF5, 0xF5, 0xF5}},
      // 48 lengths for 64 codes.
      {"too few lengths", {2, 0xF5, 0xF5, 0xF5, 3, 0xF5, 0xF5, 0xF5, 0xF5}},
      // 64 codes of length 1: over-subscribed.
      {"over-subscribed", {3, 0xF0, 0xF0, 0xF0, 0xF0, 3, 0xF5, 0xF5, 0xF5, 0xF5, 0xFF}},
      // One code of 2 bits and 63 of 16: does not fill the code space.
      {"incomplete", {4, 0x01, 0xFF, 0xFF, 0xFF, 0xEF, 3, 0xF5, 0xF5, 0xF5, 0xF5, 0xFF}},
      {"input ends inside a tree", {3, 0xF5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto out = Decode(6, 0, c.data, 1000);
    EXPECT_EQ(out.size, 0u);
  }
}

TEST(Explode, InputEndingEarlyStopsDecoding) {
  // Ten damaged bytes that claim 2 GB.
  ImplodeWriter w(false, false);
  auto data = w.bytes();
  data.insert(data.end(), 10, 0x5A);
  for (uint16_t flags : {0, 2}) {
    const auto out = DecodeLegacy(6, flags, data.data(), data.size(), 0x7FFFFFFF, nullptr, false);
    EXPECT_EQ(out.size, 0u);
  }

  // A real stream cut in half.
  uint32_t size = 0;
  auto play = FixtureData("gen_hwzip_A_implode-8k3.zip", "PLAY.TXT", &size);
  play.resize(play.size() / 2);
  const auto out = DecodeLegacy(6, 6, play.data(), play.size(), size, nullptr, false);
  EXPECT_LT(out.size, 60000u);
  EXPECT_FALSE(out.too_large);
}

TEST(Explode, TablesThatCannotBeAllocatedEndDecodingAndAreReported) {
  // The first table block is allocated, every later one fails: the blocks
  // already built are freed (LeakSanitizer checks) and the user is told.
  static int allocations;
  allocations = 0;
  const HuffAllocator previous = SetHuffmanAllocator([](size_t bytes) -> void* {
    return ++allocations == 1 ? std::malloc(bytes) : nullptr;
  });
  ImplodeWriter w(true, true);
  w.Literal('A');
  const auto data = w.bytes();
  MemoryHost host(data.data(), data.size(), 1);
  UnzipWork work(&host);
  work.ResetForEntry();
  work.CompressedLeft = static_cast<int32_t>(data.size());
  work.UncompressedLeft = 1;
  Explode(work, 6);
  SetHuffmanAllocator(previous);
  EXPECT_EQ(host.out_of_memory_reports, 1);
  EXPECT_EQ(host.output_size, 0u);
  EXPECT_GE(allocations, 2);
}

TEST(Explode, MatchPastTheStatedSizeIsRefusedWhole) {
  // 11 bytes decoded for an entry that claims 5: the window piece that would
  // pass the size is not written at all.
  ImplodeWriter w(false, false);
  w.Literal('A');
  w.Match(1, 10);
  const auto out = Decode(6, 0, w.bytes(), 5);
  EXPECT_TRUE(out.too_large);
  EXPECT_EQ(out.size, 0u);
}

}  // namespace
