#include "unzip/unshrink.h"

#include <cstring>

#include "unzip/legacy_bit_reader.h"

namespace {

constexpr int kMaxCodeBits = 13;
constexpr int kCodeCount = 1 << kMaxCodeBits;  // codes 0..8191; 8192 is "none free"
constexpr int kControlCode = 256;              // 256,1: wider codes; 256,2: partial clear
constexpr int kFirstFreeCode = 257;
constexpr int16_t kFree = -1;

// Where the tables lie in the work area.
constexpr size_t kPrefixOffset = 0;        // 8193 16-bit entries
constexpr size_t kSuffixOffset = 16390;    // 8193 bytes
constexpr size_t kStackBottom = 24585;     // 8192 bytes, filled from the top down
constexpr size_t kStackSize = 8192;
static_assert(kPrefixOffset + 2 * (kCodeCount + 1) <= kSuffixOffset);
static_assert(kSuffixOffset + kCodeCount + 1 <= kStackBottom);
static_assert(kStackBottom + kStackSize <= UnzipWork::kWindowSize);

// The next code of `bits` bits; false at the end of the input (also when a
// last partial byte holds only padding).
[[gnu::always_inline]] inline bool NextCode(LegacyBitReader<false>& in, int bits, int& code) {
  uint32_t v;
  if (!in.Take(static_cast<uint32_t>(bits), v)) return false;
  code = static_cast<int>(v);
  return true;
}

// The lowest code from `from` up whose entry is free, or kCodeCount.
inline int NextFreeCode(const int16_t* prefix, int from) {
  while (from < kCodeCount && prefix[from] != kFree) ++from;
  return from;
}

// 256,2: every code that no other code extends (a leaf) is freed. Only the
// codes below the next free code take part. The output stack, empty between
// strings, holds the marks.
int PartialClear(int16_t* prefix, uint8_t* marks, int free_code) {
  const int end = free_code;
  if (end <= kFirstFreeCode) return NextFreeCode(prefix, kFirstFreeCode);
  std::memset(marks, 1, static_cast<size_t>(end - kFirstFreeCode));
  for (int code = kFirstFreeCode; code < end; ++code) {
    const int p = prefix[code];
    // Codes at or past `end` are never looked at below, so their marks may go.
    if (p >= kFirstFreeCode) marks[p - kFirstFreeCode] = 0;
  }
  for (int code = kFirstFreeCode; code < end; ++code) {
    // A mark of 1 makes the entry -1 (free); 0 leaves it.
    prefix[code] = static_cast<int16_t>(prefix[code] | -static_cast<int16_t>(marks[code - kFirstFreeCode]));
  }
  return NextFreeCode(prefix, kFirstFreeCode);
}

// Moves the stacked string [top, stack_end) into the output buffer.
// Performance-critical: once per code.
inline void OutputString(UnzipWork& w, const uint8_t* top, const uint8_t* stack_end) {
  size_t len = static_cast<size_t>(stack_end - top);
  while (len > 0) {
    // A piece that stays below a full buffer goes in one block; the piece that
    // fills the buffer triggers the flush exactly as PutByte would.
    const size_t room = UnzipWork::kChunk - w.OutputCount;
    const size_t piece = len < room ? len : room;
    std::memcpy(w.OutputPos, top, piece);
    w.OutputPos += piece;
    w.OutputCount = static_cast<uint16_t>(w.OutputCount + piece);
    top += piece;
    len -= piece;
    if (w.OutputCount >= UnzipWork::kChunk) FlushOutput(w);
  }
}

// Performance-critical: the decoding loop.
void Decode(UnzipWork& w) {
  LegacyBitReader<false> in(w);
  uint8_t* const area = w.Window.get();
  auto* const prefix = reinterpret_cast<int16_t*>(area + kPrefixOffset);
  uint8_t* const suffix = area + kSuffixOffset;
  uint8_t* const stack_bottom = area + kStackBottom;
  uint8_t* const stack_end = stack_bottom + kStackSize;

  for (int code = 0; code < 256; ++code) {
    prefix[code] = 0;
    suffix[code] = static_cast<uint8_t>(code);
  }
  for (int code = 256; code <= kCodeCount; ++code) prefix[code] = kFree;

  int code_bits = 9;
  int free_code = kFirstFreeCode;

  int old_code;
  if (!NextCode(in, code_bits, old_code)) return;
  // Nothing but the 256 byte codes is defined yet: any other first code is
  // not a shrunk stream.
  if (old_code >= 256) return;
  uint8_t fin_char = static_cast<uint8_t>(old_code);
  PutByte(w, fin_char);

  for (;;) {
    int code;
    if (!NextCode(in, code_bits, code)) return;
    while (code == kControlCode) {
      int control;
      if (!NextCode(in, code_bits, control)) return;
      if (control == 1) {
        // Codes cannot grow past 13 bits: the tables hold 8192 codes.
        if (code_bits == kMaxCodeBits) return;
        ++code_bits;
      } else if (control == 2) {
        free_code = PartialClear(prefix, stack_bottom, free_code);
      }
      if (!NextCode(in, code_bits, code)) return;
    }

    const int in_code = code;
    uint8_t* top = stack_end;
    if (prefix[code] == kFree) {
      // The code being defined right now (KwKwK): the previous string plus
      // its own first character.
      *--top = fin_char;
      code = old_code;
    }
    while (code >= kFirstFreeCode) {
      // A chain longer than the stack only comes from broken data (a loop
      // through freed codes).
      if (top == stack_bottom) return;
      if (prefix[code] == kFree) {
        *--top = fin_char;
        code = old_code;
      } else {
        *--top = suffix[code];
        code = prefix[code];
      }
    }
    if (top == stack_bottom) return;
    fin_char = suffix[code];
    *--top = fin_char;

    OutputString(w, top, stack_end);

    if (free_code < kCodeCount) {
      prefix[free_code] = static_cast<int16_t>(old_code);
      suffix[free_code] = fin_char;
      free_code = NextFreeCode(prefix, free_code + 1);
    }
    old_code = in_code;
  }
}

}  // namespace

void Unshrink(UnzipWork& w) {
  w.EndOfInput = false;
  Decode(w);
  FlushOutput(w);
}
