// Inflate and the Huffman table builder: real deflate data from zip, 7-Zip and
// Python, and hand-built bit streams for every failure path.
#include "unzip/inflate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "unzip/crc32.h"
#include "unzip/huffman.h"
#include "unzip/unzip_work.h"
#include "unzip/zip_crypto.h"

namespace {

const char kPassword[] = "5763049182736450918273645091827364";

// Bit-at-a-time CRC-32, independent of the table code under test.
uint32_t ReferenceCrc(const std::vector<uint8_t>& data) {
  uint32_t c = 0xFFFFFFFF;
  for (uint8_t b : data) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
  }
  return ~c;
}

// Input from a byte vector in chunks of `chunk` bytes (decrypted when keys
// are given), output to a vector; refuses output past `limit` bytes.
class VectorHost : public UnzipHost {
 public:
  struct TooLarge {};
  struct ReadFailure {};

  VectorHost(std::vector<uint8_t> input, size_t chunk = UnzipWork::kChunk) : input_(std::move(input)), chunk_(chunk) {}

  uint16_t ReadInputChunk(UnzipWork& w) override {
    if (chunks == fail_at_chunk) throw ReadFailure{};
    const size_t n = std::min(chunk_, input_.size() - pos_);
    std::memcpy(w.InputBuffer.get(), input_.data() + pos_, n);
    if (keys) DecryptBuffer(*keys, w.InputBuffer.get(), n);
    pos_ += n;
    ++chunks;
    return static_cast<uint16_t>(n);
  }
  void WriteOutput(UnzipWork& w) override {
    if (output.size() + w.OutputCount > limit) throw TooLarge{};
    pieces.push_back(w.OutputCount);
    output.insert(output.end(), w.OutputBuffer.get(), w.OutputBuffer.get() + w.OutputCount);
  }
  void ReportOutOfMemory() override { ++out_of_memory; }

  std::vector<uint8_t> output;
  std::vector<uint16_t> pieces;
  size_t limit = SIZE_MAX;
  ZipKeys* keys = nullptr;
  int fail_at_chunk = -1;
  int chunks = 0;
  int out_of_memory = 0;

 private:
  std::vector<uint8_t> input_;
  size_t chunk_;
  size_t pos_ = 0;
};

struct Decoded {
  int result = -1;
  std::vector<uint8_t> output;
  std::vector<uint16_t> pieces;
  int32_t compressed_left = 0;
  int out_of_memory = 0;
};

Decoded InflateBytes(const std::vector<uint8_t>& data, size_t chunk = UnzipWork::kChunk, ZipKeys* keys = nullptr,
                 int32_t packed = -1) {
  VectorHost host(data, chunk);
  host.keys = keys;
  UnzipWork w(&host);
  w.ResetForEntry();
  w.CompressedLeft = packed >= 0 ? packed : static_cast<int32_t>(data.size());
  Decoded r;
  r.result = InflateWithResult(w);
  r.output = host.output;
  r.pieces = host.pieces;
  r.compressed_left = w.CompressedLeft;
  r.out_of_memory = host.out_of_memory;
  return r;
}

// ---------------------------------------------------------------- bit streams

// Deflate bit stream writer: fields least significant bit first, Huffman
// codes most significant bit first.
class BitWriter {
 public:
  BitWriter& Put(uint32_t value, int bits) {
    for (int i = 0; i < bits; ++i) PutBit((value >> i) & 1);
    return *this;
  }
  BitWriter& Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) PutBit((code >> i) & 1);
    return *this;
  }
  BitWriter& Align() {
    while (bit_ != 0) PutBit(0);
    return *this;
  }
  BitWriter& Byte(uint8_t b) { return Put(b, 8); }
  std::vector<uint8_t> Bytes() const { return bytes_; }

 private:
  void PutBit(uint32_t bit) {
    if (bit_ == 0) bytes_.push_back(0);
    bytes_.back() |= static_cast<uint8_t>(bit << bit_);
    bit_ = (bit_ + 1) & 7;
  }
  std::vector<uint8_t> bytes_;
  int bit_ = 0;
};

// Canonical codes of a set of code lengths (0 = unused).
std::vector<uint32_t> CanonicalCodes(const std::vector<int>& lengths) {
  int count[17] = {};
  for (int l : lengths) ++count[l];
  count[0] = 0;
  uint32_t next[17] = {};
  uint32_t code = 0;
  for (int len = 1; len <= 16; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t i = 0; i < lengths.size(); ++i)
    if (lengths[i]) codes[i] = next[lengths[i]]++;
  return codes;
}

// Fixed code of a literal/length symbol.
void FixedSymbol(BitWriter& bw, int symbol) {
  if (symbol < 144) bw.Code(0x30 + symbol, 8);
  else if (symbol < 256) bw.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280) bw.Code(symbol - 256, 7);
  else bw.Code(0xC0 + symbol - 280, 8);
}

// A complete code length code: 13 symbols of 4 bits, 6 of 5 bits.
std::vector<int> FullCodeLengthCode() {
  std::vector<int> l(19, 4);
  for (int s : {13, 14, 15, 16, 17, 18}) l[s] = 5;
  return l;
}

const int kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Header of a dynamic block: BFINAL, BTYPE 2, HLIT, HDIST, HCLEN 15 (all 19
// code length code lengths), then `symbols` written with the code length
// code (each symbol is a code length 0..15, or 16/17/18 with its repeat bits
// given as the next element).
struct LengthSymbol {
  int symbol;
  int extra = 0;
};
void DynamicHeader(BitWriter& bw, bool final, int hlit, int hdist, const std::vector<LengthSymbol>& symbols,
                   const std::vector<int>& cl = FullCodeLengthCode(), int hclen = 19) {
  bw.Put(final ? 1 : 0, 1).Put(2, 2);
  bw.Put(hlit - 257, 5).Put(hdist - 1, 5).Put(hclen - 4, 4);
  for (int i = 0; i < hclen; ++i) bw.Put(cl[kOrder[i]], 3);
  const auto codes = CanonicalCodes(cl);
  for (const auto& s : symbols) {
    bw.Code(codes[s.symbol], cl[s.symbol]);
    if (s.symbol == 16) bw.Put(s.extra, 2);
    if (s.symbol == 17) bw.Put(s.extra, 3);
    if (s.symbol == 18) bw.Put(s.extra, 7);
  }
}
std::vector<LengthSymbol> Plain(const std::vector<int>& lengths) {
  std::vector<LengthSymbol> s;
  for (int l : lengths) s.push_back({l});
  return s;
}

// Literal/length lengths for a small dynamic block: 'a' (97), 'b' (98),
// end of block (256) and length code 257 (length 3), two bits each.
std::vector<int> SmallLitLengths() {
  std::vector<int> l(258, 0);
  l['a'] = l['b'] = l[256] = l[257] = 2;
  return l;
}

std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// ---------------------------------------------------------------- real archives

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }

struct ZipEntry {
  std::string name;
  uint16_t flags, method;
  uint32_t crc, packed, unpacked, dos_time;
  std::vector<uint8_t> data;  // compressed data (with the encryption header)
};

// Entries of an archive, read through its central directory.
std::vector<ZipEntry> ReadZip(const std::vector<uint8_t>& zip) {
  std::vector<ZipEntry> entries;
  size_t end = zip.size() - 22;
  while (end > 0 && Le32(&zip[end]) != 0x06054B50) --end;
  size_t p = Le32(&zip[end + 16]);
  const int n = Le16(&zip[end + 10]);
  for (int i = 0; i < n; ++i) {
    ZipEntry e;
    e.flags = Le16(&zip[p + 8]);
    e.method = Le16(&zip[p + 10]);
    e.dos_time = Le32(&zip[p + 12]);
    e.crc = Le32(&zip[p + 16]);
    e.packed = Le32(&zip[p + 20]);
    e.unpacked = Le32(&zip[p + 24]);
    const int name_len = Le16(&zip[p + 28]);
    e.name.assign(reinterpret_cast<const char*>(&zip[p + 46]), name_len);
    const size_t local = Le32(&zip[p + 42]);
    const size_t data = local + 30 + Le16(&zip[local + 26]) + Le16(&zip[local + 28]);
    e.data.assign(zip.begin() + data, zip.begin() + data + e.packed);
    p += 46 + name_len + Le16(&zip[p + 30]) + Le16(&zip[p + 32]);
    entries.push_back(e);
  }
  return entries;
}

// Decrypts the 12-byte header; the keys then stand at the entry's data.
ZipKeys KeysAfterHeader(const ZipEntry& e, std::vector<uint8_t>& data) {
  ZipKeys keys;
  keys.Init(kPassword);
  uint8_t last = 0;
  for (int i = 0; i < 12; ++i) last = keys.DecryptByte(data[i]);
  const uint8_t check = (e.flags & 8) ? static_cast<uint8_t>(e.dos_time >> 8) : static_cast<uint8_t>(e.crc >> 24);
  EXPECT_EQ(last, check) << e.name << ": password check byte";
  data.erase(data.begin(), data.begin() + 12);
  return keys;
}

const char* const kArchives[] = {
    "infozip_1.zip",      "infozip_2.zip",         "infozip_3.zip",
    "infozip_4.zip",      "infozip_5.zip",         "infozip_6.zip",
    "infozip_7.zip",      "infozip_8.zip",         "infozip_9.zip",
    "infozip_9_crypt.zip", "7zip_deflate.zip",     "7zip_deflate_crypt.zip",
    "python_deflate_1.zip", "python_deflate_9.zip", "gen_7zip_A_deflate_zipcrypto.zip",
    "gen_hwzip_A_deflate.zip", "gen_infozip_A_deflate.zip", "gen_infozip_A_deflate_zipcrypto.zip",
    "gen_zipada_B_deflate_zipcrypto.zip",
};

class RealArchive : public testing::TestWithParam<const char*> {};

// Every deflated entry decodes to its stated size and CRC, with input in
// full chunks (the fast loop) and in tiny chunks (the careful reader at
// every step), and the output comes in 16000-byte pieces.
TEST_P(RealArchive, EveryDeflatedEntryDecodesExactly) {
  const auto zip = ReadFile(std::string("../tests/fixtures/inflate/") + GetParam());
  ASSERT_FALSE(zip.empty()) << GetParam();
  int deflated = 0;
  for (const auto& e : ReadZip(zip)) {
    if (e.method != 8) continue;
    ++deflated;
    for (size_t chunk : {size_t{UnzipWork::kChunk}, size_t{7}, size_t{1}}) {
      auto data = e.data;
      ZipKeys keys;
      ZipKeys* k = nullptr;
      if (e.flags & 1) {
        keys = KeysAfterHeader(e, data);
        k = &keys;
      }
      const Decoded r = InflateBytes(data, chunk, k);
      SCOPED_TRACE(e.name + " chunk " + std::to_string(chunk));
      EXPECT_EQ(r.result, kInflateOk);
      EXPECT_EQ(r.output.size(), e.unpacked);
      EXPECT_EQ(ReferenceCrc(r.output), e.crc);
      // All of the data read, nothing past its end beyond a little lookahead.
      EXPECT_LE(r.compressed_left, 0);
      EXPECT_GE(r.compressed_left, -2);
      for (size_t i = 0; i + 1 < r.pieces.size(); ++i) EXPECT_EQ(r.pieces[i], UnzipWork::kChunk);
    }
  }
  EXPECT_GT(deflated, 0);
}

INSTANTIATE_TEST_SUITE_P(Tools, RealArchive, testing::ValuesIn(kArchives));

// The window is not cleared between entries; a second entry decodes the same
// through a context that already decoded another.
TEST(InflateReuse, ContextReusedAcrossEntries) {
  const auto entries = ReadZip(ReadFile("../tests/fixtures/inflate/infozip_6.zip"));
  VectorHost dummy({});
  UnzipWork w(&dummy);
  for (const auto& e : entries) {
    if (e.method != 8) continue;
    VectorHost host(e.data);
    w.Host = &host;
    w.ResetForEntry();
    w.CompressedLeft = static_cast<int32_t>(e.data.size());
    EXPECT_EQ(InflateWithResult(w), kInflateOk) << e.name;
    EXPECT_EQ(ReferenceCrc(host.output), e.crc) << e.name;
  }
}

// ---------------------------------------------------------------- stored blocks

TEST(InflateStoredBlock, EmptyBlockWithComplementIsAccepted) {
  BitWriter bw;
  bw.Put(1, 1).Put(0, 2).Align().Put(0, 16).Put(0xFFFF, 16);  // final stored block, LEN 0, NLEN FFFF
  const Decoded r = InflateBytes(bw.Bytes());
  EXPECT_EQ(r.result, kInflateOk);
  EXPECT_TRUE(r.output.empty());
  EXPECT_TRUE(r.pieces.empty());
}

TEST(InflateStoredBlock, BytesAfterOtherBlocksAndAcrossChunks) {
  BitWriter bw;
  bw.Put(0, 1).Put(1, 2);           // fixed block, not final
  FixedSymbol(bw, 'x');             // literal x
  FixedSymbol(bw, 256);             // end of block
  bw.Put(1, 1).Put(0, 2).Align();   // final stored block
  bw.Put(5, 16).Put(0xFFFA, 16);    // LEN 5, NLEN
  for (char c : std::string("hello")) bw.Byte(static_cast<uint8_t>(c));
  for (size_t chunk : {size_t{16000}, size_t{1}, size_t{3}}) {
    const Decoded r = InflateBytes(bw.Bytes(), chunk);
    EXPECT_EQ(r.result, kInflateOk);
    EXPECT_EQ(std::string(r.output.begin(), r.output.end()), "xhello");
  }
}

TEST(InflateStoredBlock, LengthCheckFailureStopsWithoutOutput) {
  BitWriter bw;
  bw.Put(0, 1).Put(0, 2).Align().Put(3, 16).Put(0xFFFC, 16).Byte('a').Byte('b').Byte('c');  // good block
  bw.Put(1, 1).Put(0, 2).Align().Put(3, 16).Put(0x1234, 16).Byte('d').Byte('e').Byte('f');  // NLEN wrong
  const Decoded r = InflateBytes(bw.Bytes());
  EXPECT_EQ(r.result, kInflateBadData);
  EXPECT_TRUE(r.output.empty());  // the pending "abc" is not written
}

TEST(InflateBlockType, TypeThreeIsRefused) {
  BitWriter bw;
  bw.Put(1, 1).Put(3, 2).Put(0, 13);  // final, block type 3
  EXPECT_EQ(InflateBytes(bw.Bytes()).result, kInflateBadBlock);
}

// ---------------------------------------------------------------- fixed blocks

TEST(InflateFixedBlock, LiteralsAndOverlappingMatch) {
  BitWriter bw;
  bw.Put(1, 1).Put(1, 2);   // final, fixed
  FixedSymbol(bw, 'a');
  FixedSymbol(bw, 'b');
  FixedSymbol(bw, 265);     // length 11 + 1 extra bit
  bw.Put(1, 1);             // length 12
  bw.Code(1, 5);            // distance code 1: distance 2
  FixedSymbol(bw, 256);
  const Decoded r = InflateBytes(bw.Bytes());
  EXPECT_EQ(r.result, kInflateOk);
  EXPECT_EQ(std::string(r.output.begin(), r.output.end()), "ababababababab");
}

struct InvalidFixedCase {
  const char* what;
  int lit_symbol;   // -1: use a distance code
  int dist_code;
};
class InflateFixedInvalid : public testing::TestWithParam<InvalidFixedCase> {};

TEST_P(InflateFixedInvalid, UnusedCodesAreInvalidData) {
  const auto& c = GetParam();
  BitWriter bw;
  bw.Put(1, 1).Put(1, 2);
  FixedSymbol(bw, 'a');
  FixedSymbol(bw, 'a');
  if (c.lit_symbol >= 0) {
    FixedSymbol(bw, c.lit_symbol);
  } else {
    FixedSymbol(bw, 257);    // length 3
    bw.Code(c.dist_code, 5);
  }
  FixedSymbol(bw, 256);
  const Decoded r = InflateBytes(bw.Bytes());
  EXPECT_EQ(r.result, kInflateBadData) << c.what;
  EXPECT_TRUE(r.output.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, InflateFixedInvalid,
                         testing::Values(InvalidFixedCase{"length code 286", 286, 0},
                                         InvalidFixedCase{"length code 287", 287, 0},
                                         InvalidFixedCase{"distance code 30", -1, 30},
                                         InvalidFixedCase{"distance code 31", -1, 31}));

TEST(InflateDistance, BeforeTheStartOfTheEntryIsInvalidData) {
  BitWriter bw;
  bw.Put(1, 1).Put(1, 2);
  FixedSymbol(bw, 'a');
  FixedSymbol(bw, 257);  // length 3
  bw.Code(1, 5);         // distance 2: one byte before the entry's first byte
  FixedSymbol(bw, 256);
  const Decoded r = InflateBytes(bw.Bytes());
  EXPECT_EQ(r.result, kInflateBadData);
  EXPECT_TRUE(r.output.empty());
}

// Fixed-code match of `len` bytes at distance `dist`.
void FixedMatch(BitWriter& bw, int len, int dist) {
  static const int kLenBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                   31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static const int kLenExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  static const int kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  int lc = 28;
  while (kLenBase[lc] > len) --lc;
  FixedSymbol(bw, 257 + lc);
  bw.Put(len - kLenBase[lc], kLenExtra[lc]);
  int dc = 29;
  while (kDistBase[dc] > dist) --dc;
  bw.Code(dc, 5);
  bw.Put(dist - kDistBase[dc], dc < 4 ? 0 : (dc - 2) / 2);
}

// Matches that run over the end of the 32 KiB window, overlap themselves,
// or read the previous window cycle: the bytes come out in order.
TEST(InflateWindow, MatchesAcrossTheWindowEnd) {
  BitWriter bw;
  std::vector<uint8_t> want;
  bw.Put(1, 1).Put(1, 2);
  auto literal = [&](int b) {
    FixedSymbol(bw, b);
    want.push_back(static_cast<uint8_t>(b));
  };
  auto match = [&](int len, int dist) {
    FixedMatch(bw, len, dist);
    for (int i = 0; i < len; ++i) want.push_back(want[want.size() - dist]);
  };
  for (int i = 0; i < 32760; ++i) literal((i * 7 + i / 251) & 0xFF);
  match(258, 100);    // runs over the window end, overlapping after the wrap
  match(258, 32768);  // a whole window back
  match(200, 32000);  // source in the previous cycle, ahead of the position
  match(258, 3);      // short period
  match(100, 1);      // a run
  match(30, 9);
  literal('!');
  FixedSymbol(bw, 256);
  for (size_t chunk : {size_t{16000}, size_t{5}}) {
    const Decoded r = InflateBytes(bw.Bytes(), chunk);
    EXPECT_EQ(r.result, kInflateOk);
    EXPECT_EQ(r.output, want);
  }

  // Near the end of the first window, a distance one byte longer than what
  // has been decoded reaches before the entry's start.
  BitWriter short_bw;
  short_bw.Put(1, 1).Put(1, 2);
  for (int i = 0; i < 32759; ++i) FixedSymbol(short_bw, 'q');
  FixedMatch(short_bw, 3, 32760);
  FixedSymbol(short_bw, 256);
  EXPECT_EQ(InflateBytes(short_bw.Bytes()).result, kInflateBadData);
}

// ---------------------------------------------------------------- dynamic blocks

std::vector<uint8_t> DynamicStream(const std::vector<int>& lit, const std::vector<int>& dist) {
  BitWriter bw;
  DynamicHeader(bw, true, static_cast<int>(lit.size()), static_cast<int>(dist.size()), Plain(Concat(lit, dist)));
  const auto codes = CanonicalCodes(lit);
  if (lit['a']) bw.Code(codes['a'], lit['a']).Code(codes['b'], lit['b']);
  if (lit.size() > 257 && lit[257] != 0) {
    bw.Code(codes[257], lit[257]);  // length 3
    bw.Code(0, 1);                  // the distance code of length 1 (code 0: distance 1)
  }
  bw.Code(codes[256], lit[256]);
  return bw.Bytes();
}

TEST(InflateDynamicBlock, SingleOneBitDistanceCodeIsAccepted) {
  const Decoded r = InflateBytes(DynamicStream(SmallLitLengths(), {1}));
  EXPECT_EQ(r.result, kInflateOk);
  EXPECT_EQ(std::string(r.output.begin(), r.output.end()), "abbbb");
}

TEST(InflateDynamicBlock, TwoDistanceCodesOnlyOneWithALength) {
  const Decoded r = InflateBytes(DynamicStream(SmallLitLengths(), {1, 0}));
  EXPECT_EQ(r.result, kInflateOk);
  EXPECT_EQ(std::string(r.output.begin(), r.output.end()), "abbbb");
}

TEST(InflateDynamicBlock, NoDistanceCodesWhenOnlyLiteralsFollow) {
  auto lit = SmallLitLengths();
  lit[257] = 0;
  lit[256] = 1;  // a: 2, b: 2, end: 1 - complete
  const Decoded r = InflateBytes(DynamicStream(lit, {0}));
  EXPECT_EQ(r.result, kInflateOk);
  EXPECT_EQ(std::string(r.output.begin(), r.output.end()), "ab");
}

struct BadDynamicCase {
  const char* what;
  std::vector<int> lit, dist;
  int expected;
};
class InflateDynamicBad : public testing::TestWithParam<BadDynamicCase> {};

TEST_P(InflateDynamicBad, CodeSetsThatCannotDecode) {
  const auto& c = GetParam();
  const Decoded r = InflateBytes(DynamicStream(c.lit, c.dist));
  EXPECT_EQ(r.result, c.expected) << c.what;
  EXPECT_TRUE(r.output.empty());
}

std::vector<int> Lit(std::initializer_list<std::pair<int, int>> set) {
  std::vector<int> l(258, 0);
  for (auto [s, len] : set) l[s] = len;
  return l;
}

INSTANTIATE_TEST_SUITE_P(
    Sets, InflateDynamicBad,
    testing::Values(
        BadDynamicCase{"incomplete literal/length set", Lit({{'a', 2}, {'b', 2}, {256, 2}, {257, 3}}), {1}, 1},
        BadDynamicCase{"over-subscribed literal/length set", Lit({{'a', 1}, {'b', 2}, {256, 2}, {257, 2}}), {1}, 2},
        BadDynamicCase{"incomplete distance set", SmallLitLengths(), {2, 2, 2}, 1},
        BadDynamicCase{"single distance code longer than one bit", SmallLitLengths(), {2}, 1},
        BadDynamicCase{"over-subscribed distance set", SmallLitLengths(), {1, 1, 1}, 2},
        BadDynamicCase{"no literal/length codes at all", std::vector<int>(257, 0), {1}, 1}));

TEST(InflateDynamicBlock, TooManyCodes) {
  for (auto [hlit, hdist] : {std::pair{287, 1}, std::pair{288, 1}, std::pair{257, 31}, std::pair{257, 32}}) {
    BitWriter bw;
    bw.Put(1, 1).Put(2, 2).Put(hlit - 257, 5).Put(hdist - 1, 5).Put(15, 4);
    for (int i = 0; i < 19; ++i) bw.Put(4, 3);
    EXPECT_EQ(InflateBytes(bw.Bytes()).result, kInflateBadData) << hlit << " " << hdist;
  }
}

TEST(InflateDynamicBlock, RepeatAsFirstLengthRepeatsZero) {
  // 16 first: three copies of "the previous length" 0, then the real set.
  auto lit = SmallLitLengths();
  std::vector<LengthSymbol> symbols{{16, 0}};  // lengths 0,0,0 for symbols 0..2
  const auto all = Concat(lit, {1});
  for (size_t i = 3; i < all.size(); ++i) symbols.push_back({all[i]});
  BitWriter bw;
  DynamicHeader(bw, true, 258, 1, symbols);
  const auto codes = CanonicalCodes(lit);
  bw.Code(codes['a'], 2).Code(codes[256], 2);
  const Decoded r = InflateBytes(bw.Bytes());
  EXPECT_EQ(r.result, kInflateOk);
  EXPECT_EQ(std::string(r.output.begin(), r.output.end()), "a");
}

TEST(InflateDynamicBlock, RepeatPastTheEndOfTheLengths) {
  // 258 + 1 lengths; an 18 (zeros) of 138 starting at 200 runs past 259.
  std::vector<LengthSymbol> symbols;
  for (int i = 0; i < 200; ++i) symbols.push_back({0});
  symbols.push_back({18, 127});
  BitWriter bw;
  DynamicHeader(bw, true, 258, 1, symbols);
  EXPECT_EQ(InflateBytes(bw.Bytes()).result, kInflateBadData);
}

TEST(InflateDynamicBlock, IncompleteCodeLengthCodeIsRefused) {
  std::vector<int> cl(19, 0);
  cl[0] = cl[1] = cl[2] = 2;  // three two-bit codes: one unused
  BitWriter bw;
  DynamicHeader(bw, true, 257, 1, {}, cl);
  EXPECT_EQ(InflateBytes(bw.Bytes()).result, kInflateBadData);
}

TEST(InflateDynamicBlock, OversubscribedCodeLengthCodeIsRefused) {
  std::vector<int> cl(19, 0);
  cl[0] = cl[1] = cl[2] = 1;
  BitWriter bw;
  DynamicHeader(bw, true, 257, 1, {}, cl);
  EXPECT_EQ(InflateBytes(bw.Bytes()).result, kInflateBadBlock);
}

// A code length code of a single one-bit code counts as complete; its
// unused (dummy) code must still be refused when the stream uses it, even
// where reading it as a length 0 would give a usable block.
TEST(InflateDynamicBlock, DummyCodeLengthCodeIsInvalidData) {
  std::vector<int> cl(19, 0);
  cl[8] = 1;  // only the length 8, code "0"; code "1" unused
  BitWriter bw;
  bw.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(15, 4);  // final, dynamic, 257 + 1 codes, 19 cl lengths
  for (int i = 0; i < 19; ++i) bw.Put(cl[kOrder[i]], 3);
  bw.Put(1, 1);                              // symbol 0: the unused code
  for (int i = 1; i <= 256; ++i) bw.Put(0, 1);  // symbols 1..256: length 8 (a complete set)
  bw.Put(1, 1);                              // the distance code: the unused code again
  bw.Code(96, 8);                            // literal 'a' (97, the 97th code of eight bits)
  bw.Code(255, 8);                           // end of block
  const Decoded r = InflateBytes(bw.Bytes());
  EXPECT_EQ(r.result, kInflateBadData);
  EXPECT_TRUE(r.output.empty());
}

// ---------------------------------------------------------------- input that ends early

// Ten bytes of a fixed block that never ends, for an entry that claims
// 2 GB: decoding stops (invalid data) a few bytes past the end instead of
// producing filler up to the stated size.
TEST(InflateInput, EndingEarlyStopsDecoding) {
  BitWriter bw;
  bw.Put(0, 1).Put(1, 2);
  while (bw.Bytes().size() < 10) FixedSymbol(bw, 'z');
  auto bytes = bw.Bytes();
  bytes.resize(10);
  VectorHost host(bytes);
  UnzipWork w(&host);
  w.ResetForEntry();
  w.CompressedLeft = 10;
  w.UncompressedLeft = 0x7FFFFFFF;
  EXPECT_EQ(InflateWithResult(w), kInflateBadData);
  EXPECT_TRUE(host.output.empty());
  EXPECT_GE(w.CompressedLeft, -kMaxBytesPastEnd - 1);
}

TEST(InflateInput, EveryTruncationOfARealStreamFails) {
  const auto entries = ReadZip(ReadFile("../tests/fixtures/inflate/python_deflate_9.zip"));
  for (const auto& e : entries) {
    if (e.name != "TEXT.TXT") continue;
    for (size_t cut : {size_t{0}, size_t{1}, e.data.size() / 3, e.data.size() - 3}) {
      std::vector<uint8_t> part(e.data.begin(), e.data.begin() + cut);
      const Decoded r = InflateBytes(part);
      EXPECT_EQ(r.result, kInflateBadData) << cut;
      EXPECT_LT(r.output.size(), e.unpacked);
    }
  }
}

// A refill that adds some bits but not the ones asked for means the input
// has ended.
TEST(BitReaders, ShortRefillMarksEndOfInput) {
  {
    VectorHost host({0xAB});
    UnzipWork w(&host);
    w.ResetForEntry();
    w.CompressedLeft = 1;
    GetBits(w, 16);
    EXPECT_TRUE(w.EndOfInput);
  }
  VectorHost host({0xAB});
  UnzipWork w(&host);
  w.ResetForEntry();
  w.CompressedLeft = 1;
  EXPECT_EQ(GetBits(w, 4), 0xB);
  EXPECT_FALSE(w.EndOfInput);
  EXPECT_EQ(GetBits(w, 4), 0xA);
  EXPECT_FALSE(w.EndOfInput);
  GetBits(w, 8);  // nothing left to deliver
  EXPECT_TRUE(w.EndOfInput);
  EXPECT_FALSE(ReadPastEnd(w));
  uint32_t bits = 0;
  uint16_t count = 0;
  NeedBits(w, 16, bits, count);
  NeedBits(w, 32, bits, count);
  EXPECT_TRUE(ReadPastEnd(w));
}

// ---------------------------------------------------------------- memory and exceptions

int g_allocations_left = 0;
void* FailingAllocator(size_t bytes) {
  if (g_allocations_left-- <= 0) return nullptr;
  return std::malloc(bytes);
}

struct AllocatorGuard {
  HuffAllocator previous;
  explicit AllocatorGuard(int allowed) : previous(SetHuffmanAllocator(FailingAllocator)) {
    g_allocations_left = allowed;
  }
  ~AllocatorGuard() { SetHuffmanAllocator(previous); }
};

// Out of memory at every table block of a real dynamic stream: result 3,
// one report to the user, nothing written, nothing leaked.
TEST(InflateMemory, OutOfMemoryAtEveryAllocation) {
  const auto entries = ReadZip(ReadFile("../tests/fixtures/inflate/infozip_9.zip"));
  const ZipEntry* text = nullptr;
  for (const auto& e : entries)
    if (e.name == "TEXT.TXT") text = &e;
  ASSERT_NE(text, nullptr);
  int failures = 0;
  for (int allowed = 0; allowed < 200; ++allowed) {
    AllocatorGuard guard(allowed);
    const Decoded r = InflateBytes(text->data);
    if (r.result == kInflateOk) break;
    ++failures;
    EXPECT_EQ(r.result, kInflateOutOfMemory) << allowed;
    EXPECT_EQ(r.out_of_memory, 1);
    EXPECT_TRUE(r.output.empty());
  }
  EXPECT_GT(failures, 2);
}

TEST(InflateMemory, FixedBlockOutOfMemory) {
  BitWriter bw;
  bw.Put(1, 1).Put(1, 2);
  FixedSymbol(bw, 'a');
  FixedSymbol(bw, 256);
  for (int allowed : {0, 1}) {  // the literal/length set, then the distance set
    AllocatorGuard guard(allowed);
    const Decoded r = InflateBytes(bw.Bytes());
    EXPECT_EQ(r.result, kInflateOutOfMemory);
    EXPECT_EQ(r.out_of_memory, 1);
  }
}

// An exception from the host (output refused, input failing) leaves no
// table behind (LeakSanitizer checks the sanitized build).
TEST(InflateExceptions, TablesReleasedWhenTheHostRaises) {
  const auto entries = ReadZip(ReadFile("../tests/fixtures/inflate/infozip_9.zip"));
  for (const auto& e : entries) {
    if (e.method != 8) continue;
    {
      VectorHost host(e.data);
      host.limit = 100;
      UnzipWork w(&host);
      w.ResetForEntry();
      w.CompressedLeft = static_cast<int32_t>(e.data.size());
      EXPECT_THROW(InflateWithResult(w), VectorHost::TooLarge) << e.name;
    }
    {
      VectorHost host(e.data, 50);
      UnzipWork w(&host);
      w.ResetForEntry();
      w.CompressedLeft = static_cast<int32_t>(e.data.size());
      host.fail_at_chunk = 1;  // the second chunk fails
      EXPECT_THROW(InflateWithResult(w), VectorHost::ReadFailure) << e.name;
    }
  }
}

// ---------------------------------------------------------------- table builder

// Decodes the code of `value` (canonical code of `len` bits) through the
// table and returns the entry it ends at.
const HuffEntry* Lookup(const HuffEntry* table, int bits, uint32_t code, int len) {
  uint32_t rev = 0;
  for (int i = 0; i < len; ++i) rev |= ((code >> (len - 1 - i)) & 1) << i;
  uint32_t stream = rev;  // following bits are zero
  const HuffEntry* e = &table[stream & ((1u << bits) - 1)];
  int used = 0;
  while (e->Op > kHuffLink && e->Op != kHuffInvalid) {
    used += e->Bits;
    stream >>= e->Bits;
    e = &e->SubTable[stream & ((1u << (e->Op - kHuffLink)) - 1)];
  }
  EXPECT_EQ(used + e->Bits, len);
  return e;
}

struct TableCase {
  const char* what;
  std::vector<int> lengths;
  int lookup_bits;
  int expected_result;
  int expected_bits;
};
class HuffmanBuild : public testing::TestWithParam<TableCase> {};

TEST_P(HuffmanBuild, ResultsAndEveryCodeResolves) {
  const auto& c = GetParam();
  std::vector<uint16_t> lengths(c.lengths.begin(), c.lengths.end());
  std::vector<uint16_t> base(lengths.size()), extra(lengths.size());
  for (size_t i = 0; i < base.size(); ++i) {
    base[i] = static_cast<uint16_t>(1000 + i);
    extra[i] = static_cast<uint16_t>(0x300 + i % 14);  // only the low byte counts
  }
  HuffEntry* table = nullptr;
  int bits = c.lookup_bits;
  const int result =
      BuildHuffmanTable(lengths.data(), static_cast<int>(lengths.size()), 0, base.data(), extra.data(), table, bits);
  HuffTablePtr owner(table);
  EXPECT_EQ(result, c.expected_result) << c.what;
  EXPECT_EQ(bits, c.expected_bits) << c.what;
  if (result > kHuffIncomplete) {
    EXPECT_EQ(table, nullptr);
    return;
  }
  const auto codes = CanonicalCodes(c.lengths);
  for (size_t v = 0; v < lengths.size(); ++v) {
    if (lengths[v] == 0) continue;
    const HuffEntry* e = Lookup(table, bits, codes[v], lengths[v]);
    EXPECT_EQ(e->Base, 1000 + v) << c.what << " value " << v;
    EXPECT_EQ(e->Op, v % 14) << c.what << " value " << v;
  }
}

std::vector<int> Repeat(std::initializer_list<std::pair<int, int>> runs) {
  std::vector<int> v;
  for (auto [count, len] : runs) v.insert(v.end(), count, len);
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Sets, HuffmanBuild,
    testing::Values(
        TableCase{"fixed literal/length shape", Repeat({{144, 8}, {112, 9}, {24, 7}, {8, 8}}), 7, 0, 7},
        TableCase{"width lowered to the longest code", Repeat({{4, 2}}), 9, 0, 2},
        TableCase{"width raised to the shortest code", Repeat({{16, 4}}), 2, 0, 4},
        TableCase{"single one-bit code", Repeat({{1, 1}}), 6, 0, 1},
        TableCase{"single two-bit code", Repeat({{1, 2}}), 6, 1, 2},
        TableCase{"three levels: 15-bit codes, width 6",
                  Repeat({{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {1, 8}, {1, 9}, {1, 10},
                          {1, 11}, {1, 12}, {1, 13}, {1, 14}, {2, 15}}),
                  6, 0, 6},
        TableCase{"skewed with long tail, width 9",
                  Repeat({{90, 8}, {90, 9}, {40, 10}, {20, 11}, {15, 12}, {4, 13}, {4, 14}, {8, 15}}), 9, 1, 9},
        TableCase{"sixteen-bit codes", Repeat({{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {1, 8},
                                               {1, 9}, {1, 10}, {1, 11}, {1, 12}, {1, 13}, {1, 14}, {1, 15}, {2, 16}}),
                  7, 0, 7},
        TableCase{"over-subscribed", Repeat({{3, 1}}), 7, 2, 1},
        TableCase{"over-subscribed at a longer length", Repeat({{1, 1}, {3, 2}}), 7, 2, 2}));

TEST(HuffmanBuildEdge, AllLengthsZeroGivesNoTable) {
  const uint16_t lengths[5] = {};
  HuffEntry* table = reinterpret_cast<HuffEntry*>(&table);
  int bits = 9;
  EXPECT_EQ(BuildHuffmanTable(lengths, 5, 0, nullptr, nullptr, table, bits), kHuffOk);
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(bits, 0);
  FreeHuffmanTable(nullptr);
}

TEST(HuffmanBuildEdge, UnusedCodeSpaceIsInvalid) {
  const uint16_t lengths[3] = {2, 2, 2};  // code 11 unused
  HuffEntry* table = nullptr;
  int bits = 2;
  EXPECT_EQ(BuildHuffmanTable(lengths, 3, 3, nullptr, nullptr, table, bits), kHuffIncomplete);
  HuffTablePtr owner(table);
  EXPECT_EQ(table[3].Op, kHuffInvalid);  // reversed 11
  EXPECT_EQ(table[0].Op, kHuffLiteral);
  EXPECT_EQ(table[0].Base, 0);
}

}  // namespace
