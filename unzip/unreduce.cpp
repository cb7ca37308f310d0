#include "unzip/unreduce.h"

#include <cstring>

#include "unzip/legacy_bit_reader.h"

namespace {

constexpr uint32_t kWindowSize = 16384;
constexpr size_t kFollowerOffset = 16384;  // 256 sets of 64 bytes
constexpr size_t kSetSize = 64;            // 63 followers, then the set's size
constexpr size_t kSetCountByte = 63;
constexpr uint8_t kEscape = 144;           // 0x90: a length/distance pair follows
static_assert(kFollowerOffset + 256 * kSetSize <= UnzipWork::kWindowSize);

struct FactorTable {
  uint8_t length_mask;
  uint8_t distance_shift;
  uint8_t distance_mask;
};
// Indexed by the compression factor 1 to 4.
constexpr FactorTable kFactors[5] = {
    {0, 0, 0}, {0x7F, 7, 0x01}, {0x3F, 6, 0x03}, {0x1F, 5, 0x07}, {0x0F, 4, 0x0F}};

// Bits needed for a follower index into a set of n (1 to 63) followers: the
// width of n - 1, at least 1.
constexpr uint8_t FollowerIndexBits(int n) {
  int bits = 1;
  while ((1 << bits) < n) ++bits;
  return static_cast<uint8_t>(bits);
}

// Returns false when the data does not decode; the window is then not written.
// Performance-critical: the decoding loop.
bool Decode(UnzipWork& w, const FactorTable& f) {
  uint8_t* const window = w.Window.get();
  uint8_t* const sets = window + kFollowerOffset;
  // A valid stream never asks for bits past its end before the stated size
  // is reached: a refill that cannot deliver them stops decoding.
  LegacyBitReader<false> in(w);

  // Follower sets, from character 255 down to 0: a 6-bit size, then the
  // followers as 8-bit bytes.
  for (int c = 255; c >= 0; --c) {
    uint8_t* set = sets + kSetSize * static_cast<size_t>(c);
    uint32_t n;
    if (!in.Take(6, n)) return false;
    set[kSetCountByte] = static_cast<uint8_t>(n);
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t follower;
      if (!in.Take(8, follower)) return false;
      set[i] = static_cast<uint8_t>(follower);
    }
  }
  uint8_t index_bits[256];
  for (int c = 0; c < 256; ++c) {
    index_bits[c] = FollowerIndexBits(sets[kSetSize * static_cast<size_t>(c) + kSetCountByte]);
  }

  uint32_t last_char = 0;
  int state = 0;
  uint32_t v = 0;
  uint32_t len = 0;
  uint32_t pos = 0;
  bool first_pass = true;
  int64_t remaining = w.UncompressedLeft;

  while (remaining > 0) {
    const uint8_t* set = sets + kSetSize * last_char;
    const uint32_t set_size = set[kSetCountByte];
    uint32_t x;
    if (set_size == 0) {
      if (!in.Take(8, x)) return false;
    } else {
      uint32_t literal_flag;
      if (!in.Take(1, literal_flag)) return false;
      if (literal_flag) {
        if (!in.Take(8, x)) return false;
      } else {
        uint32_t index;
        if (!in.Take(index_bits[last_char], index)) return false;
        // An index past the set's size names no follower.
        if (index >= set_size) return false;
        x = set[index];
      }
    }

    switch (state) {
      case 0:
        if (x != kEscape) {
          window[pos++] = static_cast<uint8_t>(x);
          --remaining;
        } else {
          state = 1;
        }
        break;
      case 1:
        if (x == 0) {
          // 144 followed by 0 is the byte 144 itself.
          window[pos++] = kEscape;
          --remaining;
          state = 0;
        } else {
          v = x;
          len = v & f.length_mask;
          state = len == f.length_mask ? 2 : 3;
        }
        break;
      case 2:
        len += x;
        state = 3;
        break;
      default: {
        uint32_t length = len + 3;
        const uint32_t distance = ((v >> f.distance_shift) & f.distance_mask) * 256 + x + 1;
        remaining -= length;
        uint32_t src = (pos - distance) & (kWindowSize - 1);
        CopyMatch(w, window, kWindowSize, pos, src, length, first_pass);
        state = 0;
        break;
      }
    }
    if (pos == kWindowSize) {
      FlushWindow(w, kWindowSize);
      pos = 0;
      first_pass = false;
    }
    last_char = x;
  }
  FlushWindow(w, pos);
  return true;
}

}  // namespace

void Unreduce(UnzipWork& w, int factor) {
  w.EndOfInput = false;
  if (factor >= 1 && factor <= 4) Decode(w, kFactors[factor]);
  FlushOutput(w);
}
