#include "unzip/explode.h"

#include <cstring>

#include "unzip/huffman.h"
#include "unzip/legacy_bit_reader.h"

namespace {

constexpr uint32_t kWindowSize = 32768;

struct LengthTables {
  uint16_t base_without_literals[64];  // 2..65
  uint16_t base_with_literals[64];     // 3..66
  uint16_t distance_4k[64];            // 1 + 64 * code
  uint16_t distance_8k[64];            // 1 + 128 * code
  uint16_t extra[64];                  // 8 extra bits for code 63 only
  constexpr LengthTables() : base_without_literals(), base_with_literals(), distance_4k(),
                             distance_8k(), extra() {
    for (int i = 0; i < 64; ++i) {
      base_without_literals[i] = static_cast<uint16_t>(2 + i);
      base_with_literals[i] = static_cast<uint16_t>(3 + i);
      distance_4k[i] = static_cast<uint16_t>(1 + 64 * i);
      distance_8k[i] = static_cast<uint16_t>(1 + 128 * i);
      extra[i] = i == 63 ? 8 : 0;
    }
  }
};
constexpr LengthTables kTables;

using BitReader = LegacyBitReader<true>;

// The next n bits (past the end of the data: filler, see ReadPastEnd).
[[gnu::always_inline]] inline uint32_t Bits(BitReader& r, uint32_t n) {
  uint32_t v;
  r.Take(n, v);
  return v;
}

// Decodes one code. Imploded codes are sent with their bits complemented,
// so every table index is taken from the complemented bit buffer. Returns
// null on an invalid code (or a missing table).
// Performance-critical: once per symbol.
[[gnu::always_inline]] inline const HuffEntry* DecodeCode(BitReader& r, const HuffEntry* table,
                                                          int lookup_bits) {
  if (!table) return nullptr;
  r.Need(static_cast<uint32_t>(lookup_bits));
  const HuffEntry* e = table + ((~r.bits) & ((1u << lookup_bits) - 1));
  while (e->Op > kHuffLink) {
    if (e->Op == kHuffInvalid) return nullptr;
    r.Dump(e->Bits);
    const int sub_bits = e->Op - kHuffLink;
    r.Need(static_cast<uint32_t>(sub_bits));
    e = e->SubTable + ((~r.bits) & ((1u << sub_bits) - 1));
  }
  r.Dump(e->Bits);
  return e;
}

// Builds one code set from its description. Returns 0, or the failing result
// of the reader or the builder (an incomplete set counts as a failure).
int ReadTree(UnzipWork& w, int count, int simple_count, const uint16_t* base, HuffTablePtr& table,
             int& lookup_bits) {
  uint16_t lengths[256];
  int result = ReadExplodeTree(w, lengths, count);
  if (result != 0) return result;
  HuffEntry* raw = nullptr;
  result = BuildHuffmanTable(lengths, count, simple_count, base, kTables.extra, raw, lookup_bits);
  table.reset(raw);
  if (result == kHuffOutOfMemory) w.Host->ReportOutOfMemory();
  return result;
}

// Returns false when the data does not decode (the pending window is then
// not written). Performance-critical: the decoding loop.
bool Decode(UnzipWork& w, BitReader& r, bool large_dictionary, const HuffEntry* literals,
            int literal_bits, const HuffEntry* lengths, int length_bits,
            const HuffEntry* distances, int distance_bits) {
  uint8_t* const window = w.Window.get();
  const int low_distance_bits = large_dictionary ? 7 : 6;
  uint32_t pos = 0;
  bool first_pass = true;
  int64_t remaining = w.UncompressedLeft;

  while (remaining > 0) {
    // Input that ended early: what would be decoded now is filler.
    if (ReadPastEnd(w)) return false;
    if (Bits(r, 1)) {
      // A literal: coded with the literal tree, or 8 bits as they stand.
      --remaining;
      if (literals) {
        const HuffEntry* e = DecodeCode(r, literals, literal_bits);
        if (!e) return false;
        window[pos++] = static_cast<uint8_t>(e->Base);
      } else {
        window[pos++] = static_cast<uint8_t>(Bits(r, 8));
      }
      if (pos == kWindowSize) {
        FlushWindow(w, kWindowSize);
        pos = 0;
        first_pass = false;
      }
      continue;
    }

    // A match: low distance bits, distance code, length code (+8 bits for 63).
    const uint32_t low = Bits(r, low_distance_bits);
    const HuffEntry* d = DecodeCode(r, distances, distance_bits);
    if (!d) return false;
    const HuffEntry* l = DecodeCode(r, lengths, length_bits);
    if (!l) return false;
    uint32_t length = l->Base;
    if (l->Op != 0) length += Bits(r, l->Op);
    remaining -= length;
    uint32_t src = (pos - low - d->Base) & (kWindowSize - 1);
    CopyMatch(w, window, kWindowSize, pos, src, length, first_pass);
  }
  FlushWindow(w, pos);
  return true;
}

}  // namespace

int ReadExplodeTree(UnzipWork& w, uint16_t* lengths, int count) {
  uint16_t b = 0;
  if (ReadByte(w, b) != 8) return 4;
  const int description_bytes = (b & 0xFF) + 1;
  int filled = 0;
  for (int i = 0; i < description_bytes; ++i) {
    if (ReadByte(w, b) != 8) return 4;
    // Low 4 bits: code length - 1; high 4 bits: how many codes - 1.
    const auto length = static_cast<uint16_t>((b & 15) + 1);
    const int repeat = ((b >> 4) & 15) + 1;
    if (filled + repeat > count) return 4;
    for (int k = 0; k < repeat; ++k) lengths[filled++] = length;
  }
  return filled == count ? 0 : 4;
}

void Explode(UnzipWork& w, uint16_t flags) {
  const bool large_dictionary = (flags & kImplode8KDictionary) != 0;
  const bool literal_tree = (flags & kImplodeLiteralTree) != 0;

  int literal_bits = 9;
  int length_bits = 7;
  int distance_bits = w.CompressedLeft > 200000 ? 8 : 7;
  HuffTablePtr literals, lengths, distances;
  if (literal_tree) {
    if (ReadTree(w, 256, 256, nullptr, literals, literal_bits) != 0) return;
  }
  const uint16_t* length_base =
      literal_tree ? kTables.base_with_literals : kTables.base_without_literals;
  if (ReadTree(w, 64, 0, length_base, lengths, length_bits) != 0) return;
  const uint16_t* distance_base = large_dictionary ? kTables.distance_8k : kTables.distance_4k;
  if (ReadTree(w, 64, 0, distance_base, distances, distance_bits) != 0) return;

  BitReader r(w);
  Decode(w, r, large_dictionary, literals.get(), literal_bits, lengths.get(), length_bits,
         distances.get(), distance_bits);
  // Free the tables before the last write, as on the normal path.
  literals.reset();
  lengths.reset();
  distances.reset();
  FlushOutput(w);
}
