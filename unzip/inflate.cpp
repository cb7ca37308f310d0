#include "unzip/inflate.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kWindow = 32768;

// Lengths of codes 257 to 285; codes 286 and 287 never occur in valid data
// (extra bits 99: invalid).
const uint16_t kLengthBase[31] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27, 31,
                                  35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0};
const uint16_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,  2,
                                   3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
// Distance codes 0 to 29.
const uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint16_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// Order in which the code length code lengths are sent.
const uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// The fast loop runs while at least this many bytes of the entry's data are
// buffered; below it every byte goes through ReadByte.
constexpr uint32_t kFastInput = 32;

inline uint64_t Mask(uint32_t n) { return (uint64_t{1} << n) - 1; }

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);  // little-endian targets only (x86, x86-64)
  return v;
}

inline void Copy4(uint8_t* dst, const uint8_t* src) {
  uint32_t v;
  std::memcpy(&v, src, 4);
  std::memcpy(dst, &v, 4);
}

inline void Copy8(uint8_t* dst, const uint8_t* src) {
  uint64_t v;
  std::memcpy(&v, src, 8);
  std::memcpy(dst, &v, 8);
}

// Careful bit reader: one byte at a time through ReadByte. Once the entry's
// data has ended every further byte repeats the last one; asking for more
// than a few such bytes means the stream is broken (a valid one never needs
// them), and decoding stops.
inline bool Need(InflateState& s, uint32_t n) {
  if (s.BitCount >= n) return true;
  UnzipWork& w = s.w;
  if (w.InputCount >= 8 && w.CompressedLeft >= 8) {
    // Enough of the entry's data buffered: whole bytes up to 56 bits at once.
    const uint32_t take = (63 - s.BitCount) >> 3;
    s.BitBuffer |= (Load64(w.InputPos) & Mask(take * 8)) << s.BitCount;
    s.BitCount += take * 8;
    w.InputPos += take;
    w.InputCount = static_cast<uint16_t>(w.InputCount - take);
    w.CompressedLeft -= static_cast<int32_t>(take);
    return true;
  }
  while (s.BitCount < n) {
    if (ReadByte(s.w, s.w.LastByte) == 0 && ++s.BytesPastEnd > kMaxBytesPastEnd) return false;
    s.BitBuffer |= static_cast<uint64_t>(s.w.LastByte & 0xFF) << s.BitCount;
    s.BitCount += 8;
  }
  return true;
}

inline void Dump(InflateState& s, uint32_t n) {
  s.BitBuffer >>= n;
  s.BitCount -= n;
}

inline void WindowFull(InflateState& s) {
  FlushWindow(s.w, kWindow);
  s.WindowPos = 0;
  s.WindowFilled = true;
}

inline void PutWindowByte(InflateState& s, uint8_t b) {
  s.w.Window[s.WindowPos++] = b;
  if (s.WindowPos == kWindow) WindowFull(s);
}

// Bytes of the entry's data that can be taken straight from InputBuffer.
inline uint32_t BufferedInput(const UnzipWork& w) {
  if (w.CompressedLeft <= 0) return 0;
  return std::min<uint32_t>(w.InputCount, static_cast<uint32_t>(w.CompressedLeft));
}

// Performance-critical: the copy of a match that lies inside the window
// (dist <= position, no wrap). Wide moves where the source is at least 8
// bytes back; never writes past dst + len (the bytes there are history).
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void CopyInWindow(uint8_t* dst, uint32_t dist, uint32_t len) {
  const uint8_t* src = dst - dist;
  if (dist >= 8) {
    if (len >= 8) {
      uint32_t i = 0;
      do {
        Copy8(dst + i, src + i);
        i += 8;
      } while (i + 8 < len);
      Copy8(dst + len - 8, src + len - 8);
    } else if (len >= 4) {
      // 4 to 7 bytes: two overlapping words, all of the source lies before dst.
      Copy4(dst, src);
      Copy4(dst + len - 4, src + len - 4);
    } else {
      for (uint32_t i = 0; i < len; ++i) dst[i] = src[i];
    }
  } else if (dist == 1) {
    // A run of one byte.
    const uint64_t pattern = dst[-1] * 0x0101010101010101ull;
    if (len >= 8) {
      uint32_t i = 0;
      do {
        std::memcpy(dst + i, &pattern, 8);
        i += 8;
      } while (i + 8 < len);
      std::memcpy(dst + len - 8, &pattern, 8);
    } else {
      for (uint32_t i = 0; i < len; ++i) dst[i] = static_cast<uint8_t>(pattern);
    }
  } else {
    // A short period: the first bytes one by one, then words from a whole
    // number of periods back (at least 8 bytes).
    const uint32_t period = dist * ((8 + dist - 1) / dist);
    uint32_t i = 0;
    for (; i < len && i < period; ++i) dst[i] = src[i];
    for (; i + 8 <= len; i += 8) Copy8(dst + i, dst + i - period);
    for (; i < len; ++i) dst[i] = dst[i - dist];
  }
}

// Copies a match through the ring window with the semantics of a forward
// byte-by-byte copy (an overlapping match repeats the bytes just written).
// A distance that reaches back before the entry's first byte is invalid
// data: the window there holds nothing of this entry.
bool CopyMatch(InflateState& s, uint32_t dist, uint32_t len) {
  if (!s.WindowFilled && dist > s.WindowPos) return false;
  uint8_t* win = s.w.Window.get();
  uint32_t pos = s.WindowPos;
  uint32_t src = (pos - dist) & (kWindow - 1);
  while (len > 0) {
    uint32_t n = kWindow - std::max(src, pos);
    if (n > len) n = len;
    if (src > pos) {
      // The source lies ahead (the previous window cycle): a forward copy
      // reads every byte before it is overwritten, as memmove does.
      std::memmove(win + pos, win + src, n);
    } else if (src < pos) {
      CopyInWindow(win + pos, pos - src, n);
    }  // src == pos: a whole window back, the bytes stay as they are
    pos += n;
    src = (src + n) & (kWindow - 1);
    len -= n;
    if (pos == kWindow) {
      WindowFull(s);
      pos = 0;
    }
  }
  s.WindowPos = pos;
  return true;
}

// Careful decode of one code; null on an invalid code or broken input.
const HuffEntry* DecodeCareful(InflateState& s, const HuffEntry* table, int bits) {
  if (table == nullptr) return nullptr;  // a code set without codes
  if (!Need(s, static_cast<uint32_t>(bits))) return nullptr;
  const HuffEntry* e = &table[s.BitBuffer & Mask(static_cast<uint32_t>(bits))];
  while (e->Op > kHuffLink) {
    if (e->Op == kHuffInvalid) return nullptr;
    Dump(s, e->Bits);
    const uint32_t n = e->Op - kHuffLink;
    if (!Need(s, n)) return nullptr;
    e = &e->SubTable[s.BitBuffer & Mask(n)];
  }
  Dump(s, e->Bits);
  return e;
}

int BuildTable(InflateState& s, const uint16_t* lengths, int count, int simple_count, const uint16_t* base,
               const uint16_t* extra, HuffTablePtr& out, int& bits) {
  HuffEntry* table = nullptr;
  const int result = BuildHuffmanTable(lengths, count, simple_count, base, extra, table, bits);
  out.reset(table);
  if (result == kHuffOutOfMemory) s.w.Host->ReportOutOfMemory();
  return result;
}

// Packed first-level lookup of the fast loop, derived from a built table: one
// 32-bit entry per index of kFastLitBits (or kFastDistBits) input bits.
//   bits 0-7   code bits to drop
//   bits 8-12  extra bits that follow (length or distance)
//   bit 13     literal, bit 14 end of block, bit 15 resolve through the
//              built table (a longer code, or an invalid one)
//   bits 16-31 literal byte, base length or base distance
constexpr int kFastLitBits = 11;
constexpr int kFastDistBits = 8;
constexpr uint32_t kFastLiteral = 1u << 13;
constexpr uint32_t kFastEnd = 1u << 14;
constexpr uint32_t kFastSlow = 1u << 15;

// Flags of a packed entry by HuffEntry::Op (no branch per entry while the
// lookup is filled).
struct OpFlags {
  uint32_t f[256];
  constexpr OpFlags() : f() {
    for (uint32_t op = 0; op < 256; ++op)
      f[op] = op == kHuffLiteral ? kFastLiteral : op == kHuffEndOfBlock ? kFastEnd : op > 13 ? kFastSlow : op << 8;
  }
};
constexpr OpFlags kOpFlags;

// Code bits and base are ignored in an entry marked kFastSlow.
inline uint32_t PackEntry(const HuffEntry& e, uint32_t code_bits) {
  return code_bits | kOpFlags.f[e.Op] | static_cast<uint32_t>(e.Base) << 16;
}

// Fills `fast` (2^fast_bits entries) from `table` with first-level width
// `bits` (at most fast_bits): codes that fit in fast_bits resolve in one step.
void BuildFastTable(const HuffEntry* table, int bits, uint32_t* fast, int fast_bits) {
  const uint32_t size = uint32_t{1} << fast_bits;
  const uint32_t step = uint32_t{1} << bits;
  for (uint32_t i = 0; i < step; ++i) {
    const HuffEntry& e = table[i];
    if (e.Op <= kHuffLink || e.Op == kHuffInvalid) {
      const uint32_t packed = PackEntry(e, e.Bits);
      for (uint32_t j = i; j < size; j += step) fast[j] = packed;
      continue;
    }
    const uint32_t sub_bits = e.Op - kHuffLink;
    for (uint32_t j = i; j < size; j += step) {
      uint32_t packed = kFastSlow;
      if (e.Bits + sub_bits <= static_cast<uint32_t>(fast_bits)) {
        const HuffEntry& sub = e.SubTable[(j >> e.Bits) & Mask(sub_bits)];
        if (sub.Op <= kHuffLink) packed = PackEntry(sub, e.Bits + sub.Bits);
      }
      fast[j] = packed;
    }
  }
}

// Walks the built table from the low bits of `bits`; null on an invalid
// code. `used` gets the code's length.
inline const HuffEntry* Resolve(const HuffEntry* table, uint64_t mask, uint64_t bits, uint32_t& used) {
  const HuffEntry* e = &table[bits & mask];
  used = 0;
  while (e->Op > kHuffLink) {
    if (e->Op == kHuffInvalid) return nullptr;
    used += e->Bits;
    e = &e->SubTable[(bits >> used) & Mask(e->Op - kHuffLink)];
  }
  used += e->Bits;
  return e;
}

}  // namespace

// Performance-critical: decodes nearly every byte of a deflated entry. While
// enough input is buffered, a 64-bit bit buffer is refilled a word at a time
// straight from InputBuffer and a whole symbol (code, extra bits, distance)
// is decoded per refill through packed one-step lookups; near the end of a
// chunk or of the entry it falls back to the careful byte-at-a-time reader so
// the input accounting stays exact.
int InflateCodes(InflateState& s, const HuffEntry* lit_table, const HuffEntry* dist_table, int lit_bits,
                 int dist_bits) {
  UnzipWork& w = s.w;
  uint8_t* const win = w.Window.get();
  const uint64_t lit_mask = Mask(static_cast<uint32_t>(lit_bits));
  const uint64_t dist_mask = Mask(static_cast<uint32_t>(dist_bits));
  if (lit_table == nullptr) return kInflateBadData;

  uint32_t fast_lit[1u << kFastLitBits];
  uint32_t fast_dist[1u << kFastDistBits];
  bool fast_built = false;
  constexpr uint64_t kFastLitMask = (1u << kFastLitBits) - 1;
  constexpr uint64_t kFastDistMask = (1u << kFastDistBits) - 1;

  for (;;) {
    const uint32_t avail = BufferedInput(w);
    if (avail >= kFastInput) {
      if (!fast_built) {
        BuildFastTable(lit_table, lit_bits, fast_lit, kFastLitBits);
        if (dist_table != nullptr) {
          BuildFastTable(dist_table, dist_bits, fast_dist, kFastDistBits);
        } else {
          for (auto& e : fast_dist) e = kFastSlow;
        }
        fast_built = true;
      }
      const uint8_t* const in_start = w.InputPos;
      const uint8_t* in = in_start;
      const uint8_t* const in_end = in_start + avail;
      uint64_t bits = s.BitBuffer;
      uint32_t count = s.BitCount;
      uint32_t pos = s.WindowPos;
      int result = -1;
      // Below this window position neither a literal pair nor a match can
      // reach the window end: the tight path needs no end-of-window checks.
      constexpr uint32_t kSafePos = kWindow - 258 - 2;
      while (in_end - in >= 8) {
        // One symbol (code, length, distance, extra bits) takes at most 48
        // bits: a refill leaves at least 56.
        bits |= Load64(in) << count;
        in += (63 - count) >> 3;
        count |= 56;
        if (pos <= kSafePos) {
          // Every step below leaves at least 56 bits in the buffer and the
          // packed entry of the next code looked up (`e`), so the lookup of
          // the next code overlaps with storing and copying this one.
          uint32_t e = fast_lit[bits & kFastLitMask];
          bool checked = false;  // hand the symbol in `e` to the checked path
          for (;;) {
            if (e & kFastLiteral) {
              // The next lookup is issued from the bits left after this code
              // (at least 41 of them), before the byte is stored and before
              // the refill, which only adds bits above them.
              bits >>= e & 63;
              count -= e & 0xFF;
              const uint32_t next = fast_lit[bits & kFastLitMask];
              win[pos++] = static_cast<uint8_t>(e >> 16);
              bits |= Load64(in) << count;
              in += (63 - count) >> 3;
              count |= 56;
              e = next;
              if (pos > kSafePos || in_end - in < 8) break;
              continue;
            }
            if (e & (kFastSlow | kFastEnd)) {
              checked = true;  // end of block, or a code longer than the packed lookup
              break;
            }
            const uint32_t n = e & 0xFF;
            const uint32_t extra = (e >> 8) & 0x1F;
            const uint32_t len = (e >> 16) + static_cast<uint32_t>((bits >> n) & Mask(extra));
            bits >>= n + extra;
            count -= n + extra;
            uint32_t dist;
            const uint32_t d = fast_dist[bits & kFastDistMask];
            if (!(d & kFastSlow)) {
              const uint32_t dn = d & 0xFF;
              const uint32_t dextra = (d >> 8) & 0x1F;
              dist = (d >> 16) + static_cast<uint32_t>((bits >> dn) & Mask(dextra));
              bits >>= dn + dextra;
              count -= dn + dextra;
            } else {
              uint32_t used;
              const HuffEntry* h = dist_table ? Resolve(dist_table, dist_mask, bits, used) : nullptr;
              if (h == nullptr) {
                result = kInflateBadData;
                break;
              }
              bits >>= used;
              count -= used;
              dist = h->Base + static_cast<uint32_t>(bits & Mask(h->Op));
              bits >>= h->Op;
              count -= h->Op;
            }
            bits |= Load64(in) << count;
            in += (63 - count) >> 3;
            count |= 56;
            e = fast_lit[bits & kFastLitMask];
            if (dist <= pos) {
              CopyInWindow(win + pos, dist, len);
              pos += len;
            } else {
              s.WindowPos = pos;
              if (!CopyMatch(s, dist, len)) {
                result = kInflateBadData;
                break;
              }
              pos = s.WindowPos;
            }
            if (pos > kSafePos || in_end - in < 8) break;
          }
          if (result >= 0) break;
          if (!checked) continue;  // the loop head decides how to go on
        }
        uint32_t e = fast_lit[bits & kFastLitMask];
        if (e & kFastLiteral) {
          const uint32_t n = e & 0xFF;
          bits >>= n;
          count -= n;
          win[pos++] = static_cast<uint8_t>(e >> 16);
          if (pos == kWindow) {
            s.WindowPos = pos;
            WindowFull(s);
            pos = 0;
          }
          continue;
        }
        uint32_t len;
        if (e & kFastSlow) {
          uint32_t used;
          const HuffEntry* h = Resolve(lit_table, lit_mask, bits, used);
          if (h == nullptr) {
            result = kInflateBadData;
            break;
          }
          bits >>= used;
          count -= used;
          if (h->Op == kHuffLiteral) {
            win[pos++] = static_cast<uint8_t>(h->Base);
            if (pos == kWindow) {
              s.WindowPos = pos;
              WindowFull(s);
              pos = 0;
            }
            continue;
          }
          if (h->Op == kHuffEndOfBlock) {
            result = kInflateOk;
            break;
          }
          len = h->Base + static_cast<uint32_t>(bits & Mask(h->Op));
          bits >>= h->Op;
          count -= h->Op;
        } else {
          const uint32_t n = e & 0xFF;
          bits >>= n;
          count -= n;
          if (e & kFastEnd) {
            result = kInflateOk;
            break;
          }
          const uint32_t extra = (e >> 8) & 0x1F;
          len = (e >> 16) + static_cast<uint32_t>(bits & Mask(extra));
          bits >>= extra;
          count -= extra;
        }

        uint32_t dist;
        e = fast_dist[bits & kFastDistMask];
        if (e & kFastSlow) {
          if (dist_table == nullptr) {
            result = kInflateBadData;
            break;
          }
          uint32_t used;
          const HuffEntry* h = Resolve(dist_table, dist_mask, bits, used);
          if (h == nullptr) {
            result = kInflateBadData;
            break;
          }
          bits >>= used;
          count -= used;
          dist = h->Base + static_cast<uint32_t>(bits & Mask(h->Op));
          bits >>= h->Op;
          count -= h->Op;
        } else {
          const uint32_t n = e & 0xFF;
          const uint32_t extra = (e >> 8) & 0x1F;
          dist = (e >> 16) + static_cast<uint32_t>((bits >> n) & Mask(extra));
          bits >>= n + extra;
          count -= n + extra;
        }

        if (dist <= pos && pos + len <= kWindow) {
          CopyInWindow(win + pos, dist, len);
          pos += len;
          if (pos == kWindow) {
            s.WindowPos = pos;
            WindowFull(s);
            pos = 0;
          }
        } else {
          s.WindowPos = pos;
          if (!CopyMatch(s, dist, len)) {
            result = kInflateBadData;
            break;
          }
          pos = s.WindowPos;
        }
      }
      // Hand back the whole bytes the bit buffer read ahead, so that the
      // careful reader (and the next block) continues at the right byte.
      uint32_t give_back = count >> 3;
      const auto used = static_cast<uint32_t>(in - in_start);
      if (give_back > used) give_back = used;
      in -= give_back;
      count -= give_back * 8;
      s.BitBuffer = bits & Mask(count);
      s.BitCount = count;
      s.WindowPos = pos;
      const auto consumed = static_cast<uint16_t>(in - in_start);
      w.InputPos = in;
      w.InputCount = static_cast<uint16_t>(w.InputCount - consumed);
      w.CompressedLeft -= consumed;
      if (result >= 0) return result;
      if (BufferedInput(w) >= kFastInput) continue;
    }

    // Careful path: one symbol.
    const HuffEntry* e = DecodeCareful(s, lit_table, lit_bits);
    if (e == nullptr) return kInflateBadData;
    if (e->Op == kHuffLiteral) {
      PutWindowByte(s, static_cast<uint8_t>(e->Base));
      continue;
    }
    if (e->Op == kHuffEndOfBlock) return kInflateOk;
    if (!Need(s, e->Op)) return kInflateBadData;
    const uint32_t len = e->Base + static_cast<uint32_t>(s.BitBuffer & Mask(e->Op));
    Dump(s, e->Op);
    e = DecodeCareful(s, dist_table, dist_bits);
    if (e == nullptr) return kInflateBadData;
    if (!Need(s, e->Op)) return kInflateBadData;
    const uint32_t dist = e->Base + static_cast<uint32_t>(s.BitBuffer & Mask(e->Op));
    Dump(s, e->Op);
    if (!CopyMatch(s, dist, len)) return kInflateBadData;
  }
}

int InflateStored(InflateState& s) {
  UnzipWork& w = s.w;
  Dump(s, s.BitCount & 7);
  if (!Need(s, 16)) return kInflateBadData;
  uint32_t len = static_cast<uint32_t>(s.BitBuffer & 0xFFFF);
  Dump(s, 16);
  if (!Need(s, 16)) return kInflateBadData;
  const uint32_t nlen = static_cast<uint32_t>(s.BitBuffer & 0xFFFF);
  Dump(s, 16);
  if (len != (~nlen & 0xFFFF)) return kInflateBadData;

  while (len > 0) {
    if (s.BitCount >= 8) {  // whole bytes already in the bit buffer
      PutWindowByte(s, static_cast<uint8_t>(s.BitBuffer));
      Dump(s, 8);
      --len;
      continue;
    }
    const uint32_t avail = BufferedInput(w);
    if (avail > 0) {
      const uint32_t n = std::min({len, avail, kWindow - s.WindowPos});
      std::memcpy(w.Window.get() + s.WindowPos, w.InputPos, n);
      w.InputPos += n;
      w.InputCount = static_cast<uint16_t>(w.InputCount - n);
      w.CompressedLeft -= static_cast<int32_t>(n);
      len -= n;
      s.WindowPos += n;
      if (s.WindowPos == kWindow) WindowFull(s);
      continue;
    }
    if (!Need(s, 8)) return kInflateBadData;
    PutWindowByte(s, static_cast<uint8_t>(s.BitBuffer));
    Dump(s, 8);
    --len;
  }
  return kInflateOk;
}

int InflateFixed(InflateState& s) {
  static const auto kFixed = [] {
    struct Lengths {
      uint16_t lit[288];
      uint16_t dist[30];
    } l{};
    for (int i = 0; i < 288; ++i) l.lit[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    for (auto& d : l.dist) d = 5;
    return l;
  }();

  HuffTablePtr lit;
  int lit_bits = 7;
  int result = BuildTable(s, kFixed.lit, 288, 257, kLengthBase, kLengthExtra, lit, lit_bits);
  if (result != kHuffOk) return result;
  HuffTablePtr dist;
  int dist_bits = 5;
  // 30 codes of five bits leave codes 30 and 31 unused: an incomplete set
  // that is accepted here.
  result = BuildTable(s, kFixed.dist, 30, 0, kDistBase, kDistExtra, dist, dist_bits);
  if (result > kHuffIncomplete) return result;
  return InflateCodes(s, lit.get(), dist.get(), lit_bits, dist_bits) != kInflateOk ? kInflateBadData : kInflateOk;
}

int InflateDynamic(InflateState& s) {
  if (!Need(s, 5)) return kInflateBadData;
  const int lit_count = 257 + static_cast<int>(s.BitBuffer & 31);
  Dump(s, 5);
  if (!Need(s, 5)) return kInflateBadData;
  const int dist_count = 1 + static_cast<int>(s.BitBuffer & 31);
  Dump(s, 5);
  if (!Need(s, 4)) return kInflateBadData;
  const int cl_count = 4 + static_cast<int>(s.BitBuffer & 15);
  Dump(s, 4);
  if (lit_count > 286 || dist_count > 30) return kInflateBadData;

  uint16_t cl_lengths[19] = {};
  for (int i = 0; i < cl_count; ++i) {
    if (!Need(s, 3)) return kInflateBadData;
    cl_lengths[kCodeLengthOrder[i]] = static_cast<uint16_t>(s.BitBuffer & 7);
    Dump(s, 3);
  }
  HuffTablePtr cl_table;
  int cl_bits = 7;
  int result = BuildTable(s, cl_lengths, 19, 19, nullptr, nullptr, cl_table, cl_bits);
  if (result != kHuffOk) return result;

  uint16_t lengths[286 + 30];
  const int total = lit_count + dist_count;
  int i = 0;
  uint16_t previous = 0;
  while (i < total) {
    // Every code of this set resolves in the first table; an unused (dummy)
    // code is invalid data as everywhere else.
    const HuffEntry* e = DecodeCareful(s, cl_table.get(), cl_bits);
    if (e == nullptr || e->Op != kHuffLiteral) return kInflateBadData;
    const uint16_t v = e->Base;
    if (v < 16) {
      lengths[i++] = v;
      previous = v;
      continue;
    }
    int repeat;
    uint16_t value;
    if (v == 16) {
      if (!Need(s, 2)) return kInflateBadData;
      repeat = 3 + static_cast<int>(s.BitBuffer & 3);
      Dump(s, 2);
      value = previous;
    } else if (v == 17) {
      if (!Need(s, 3)) return kInflateBadData;
      repeat = 3 + static_cast<int>(s.BitBuffer & 7);
      Dump(s, 3);
      value = previous = 0;
    } else {
      if (!Need(s, 7)) return kInflateBadData;
      repeat = 11 + static_cast<int>(s.BitBuffer & 127);
      Dump(s, 7);
      value = previous = 0;
    }
    if (i + repeat > total) return kInflateBadData;
    while (repeat-- > 0) lengths[i++] = value;
  }
  cl_table.reset();

  HuffTablePtr lit;
  int lit_bits = 9;
  result = BuildTable(s, lengths, lit_count, 257, kLengthBase, kLengthExtra, lit, lit_bits);
  if (result != kHuffOk) return result;
  HuffTablePtr dist;
  int dist_bits = 6;
  result = BuildTable(s, lengths + lit_count, dist_count, 0, kDistBase, kDistExtra, dist, dist_bits);
  if (result != kHuffOk) return result;
  return InflateCodes(s, lit.get(), dist.get(), lit_bits, dist_bits) != kInflateOk ? kInflateBadData : kInflateOk;
}

int InflateBlock(InflateState& s, bool& last_block) {
  if (!Need(s, 1)) return kInflateBadData;
  last_block = (s.BitBuffer & 1) != 0;
  Dump(s, 1);
  if (!Need(s, 2)) return kInflateBadData;
  const auto type = static_cast<int>(s.BitBuffer & 3);
  Dump(s, 2);
  switch (type) {
    case 0: return InflateStored(s);
    case 1: return InflateFixed(s);
    case 2: return InflateDynamic(s);
    default: return kInflateBadBlock;
  }
}

int InflateWithResult(UnzipWork& w) {
  InflateState s(w);
  bool last_block = false;
  do {
    const int result = InflateBlock(s, last_block);
    if (result != kInflateOk) return result;
  } while (!last_block);
  FlushWindow(w, s.WindowPos);
  FlushOutput(w);
  return kInflateOk;
}

void Inflate(UnzipWork& w) { InflateWithResult(w); }
