#include "unzip/crc32.h"

namespace {

struct Table {
  uint32_t t[256];
  constexpr Table() : t() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
  }
};

constexpr Table kTable;

}  // namespace

const uint32_t kCrc32Table[256] = {
#define R(i) kTable.t[i], kTable.t[i + 1], kTable.t[i + 2], kTable.t[i + 3]
#define R16(i) R(i), R(i + 4), R(i + 8), R(i + 12)
    R16(0),   R16(16),  R16(32),  R16(48),  R16(64),  R16(80),  R16(96),  R16(112),
    R16(128), R16(144), R16(160), R16(176), R16(192), R16(208), R16(224), R16(240),
#undef R16
#undef R
};

// Performance-critical: runs over every decoded byte.
uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t n) {
  for (size_t i = 0; i < n; ++i) crc = Crc32Step(crc, data[i]);
  return crc;
}
