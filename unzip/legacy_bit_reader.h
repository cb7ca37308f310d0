// The bit reader of the legacy decoders: least significant bit first, with a
// 64-bit buffer held by the decoder. While at least 8 bytes of the entry's
// data are buffered it refills 7 bytes at a time straight from InputBuffer;
// near the end of the data it takes one byte at a time through ReadByte.
#pragma once

#include <cstdint>
#include <cstring>

#include "unzip/unzip_work.h"

// kFillerPastEnd: what happens when the entry's data has ended.
//   true  (Explode, like NeedBits): every further byte repeats the last one
//         read; the decoder checks ReadPastEnd to stop.
//   false (Unshrink, Unreduce, like GetBits): Need fails and sets EndOfInput.
template <bool kFillerPastEnd>
struct LegacyBitReader {
  UnzipWork& w;
  uint64_t bits = 0;
  uint32_t count = 0;

  explicit LegacyBitReader(UnzipWork& work) : w(work) {}

  // Makes at least n (1 to 16) bits available. Performance-critical.
  [[gnu::always_inline]] inline bool Need(uint32_t n) {
    if (count >= n) return true;
    if (w.InputCount >= 8 && w.CompressedLeft >= 8) {
      uint64_t v;
      std::memcpy(&v, w.InputPos, 8);  // little-endian targets (x86, x86-64)
      bits |= v << count;
      const uint32_t take = (63 - count) >> 3;
      w.InputPos += take;
      w.InputCount = static_cast<uint16_t>(w.InputCount - take);
      w.CompressedLeft -= static_cast<int32_t>(take);
      count += take * 8;
      bits &= (uint64_t{1} << count) - 1;
      return true;
    }
    return NeedCarefully(n);
  }
  [[gnu::always_inline]] inline void Dump(uint32_t n) {
    bits >>= n;
    count -= n;
  }
  // The next n bits (1 to 16) into `value`; false when the input cannot
  // deliver them (only without filler).
  [[gnu::always_inline]] inline bool Take(uint32_t n, uint32_t& value) {
    if (!Need(n)) return false;
    value = static_cast<uint32_t>(bits & ((1u << n) - 1));
    Dump(n);
    return true;
  }

 private:
  bool NeedCarefully(uint32_t n) {
    while (count < n) {
      if constexpr (kFillerPastEnd) {
        ReadByte(w, w.LastByte);
        bits |= static_cast<uint64_t>(w.LastByte & 0xFF) << count;
      } else {
        uint16_t x;
        if (ReadByte(w, x) != 8) {
          w.EndOfInput = true;
          return false;
        }
        bits |= static_cast<uint64_t>(x & 0xFF) << count;
      }
      count += 8;
    }
    return true;
  }
};

// Copies a match of `length` bytes from `src` to `pos` in a sliding window of
// `window_size` bytes (a power of two), writing the window out each time it
// fills. On the first pass through the window, bytes before the entry's first
// byte are zeros, not what an earlier entry left there.
inline void CopyMatch(UnzipWork& w, uint8_t* window, uint32_t window_size, uint32_t& pos, uint32_t src,
                      uint32_t length, bool& first_pass) {
  while (length > 0) {
    uint32_t piece = window_size - (src > pos ? src : pos);
    if (piece > length) piece = length;
    if (first_pass && src >= pos) {
      std::memset(window + pos, 0, piece);
    } else if (pos - src < piece) {
      // Overlapping: repeat the bytes just written.
      for (uint32_t i = 0; i < piece; ++i) window[pos + i] = window[src + i];
    } else {
      std::memcpy(window + pos, window + src, piece);
    }
    pos += piece;
    src = (src + piece) & (window_size - 1);
    length -= piece;
    if (pos == window_size) {
      FlushWindow(w, window_size);
      pos = 0;
      first_pass = false;
    }
  }
}
