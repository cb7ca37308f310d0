#include "unzip/crc32.h"

#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define KV_CRC_CLMUL 1
#include <immintrin.h>
#endif

namespace {

constexpr uint32_t kPoly = 0xEDB88320u;

// Tables of slicing-by-8: kSlice[0] is the byte table; kSlice[k][i] is the
// register after byte i followed by k zero bytes.
struct SliceTables {
  uint32_t t[8][256];
  constexpr SliceTables() : t() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? kPoly ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
      for (uint32_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
};

constexpr SliceTables kSlice;

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);  // little-endian targets
  return v;
}

// Portable: eight bytes per step through eight tables.
uint32_t UpdateSliced(uint32_t crc, const uint8_t* p, size_t n) {
  while (n > 0 && (reinterpret_cast<uintptr_t>(p) & 3) != 0) {
    crc = Crc32Step(crc, *p++);
    --n;
  }
  while (n >= 8) {
    const uint32_t a = Load32(p) ^ crc;
    const uint32_t b = Load32(p + 4);
    crc = kSlice.t[7][a & 0xFF] ^ kSlice.t[6][(a >> 8) & 0xFF] ^ kSlice.t[5][(a >> 16) & 0xFF] ^
          kSlice.t[4][a >> 24] ^ kSlice.t[3][b & 0xFF] ^ kSlice.t[2][(b >> 8) & 0xFF] ^
          kSlice.t[1][(b >> 16) & 0xFF] ^ kSlice.t[0][b >> 24];
    p += 8;
    n -= 8;
  }
  while (n-- > 0) crc = Crc32Step(crc, *p++);
  return crc;
}

#ifdef KV_CRC_CLMUL

// Folding constants. In the bit order of this CRC the first bit of a block
// is its highest power of x, so a 64-bit half of a 16-byte block stands for
// a polynomial of degree 63 with bit i the coefficient of x^(63-i). A
// carry-less product of two such values, read as 128 bits, is their product
// times x. Multiplying a block half by x^n modulo the polynomial therefore
// takes the constant x^(n-1) mod P in that bit order.
constexpr uint64_t XPowModP(int n) {
  uint64_t r = 1;  // x^0, bit d = coefficient of x^d
  for (int i = 0; i < n; ++i) {
    r <<= 1;
    if (r & (uint64_t{1} << 32)) r ^= 0x104C11DB7ull;
  }
  return r;
}
constexpr uint64_t Reflect64(uint64_t poly) {
  uint64_t r = 0;
  for (int d = 0; d < 64; ++d)
    if (poly & (uint64_t{1} << d)) r |= uint64_t{1} << (63 - d);
  return r;
}
// x^n for the folding constant of a block half that lies n bits ahead.
constexpr uint64_t FoldConstant(int n) { return Reflect64(XPowModP(n - 1)); }

// The first half of a block lies 64 bits further ahead than the second.
constexpr uint64_t kFold128Hi = FoldConstant(128 + 64), kFold128Lo = FoldConstant(128);
constexpr uint64_t kFold512Hi = FoldConstant(512 + 64), kFold512Lo = FoldConstant(512);

__attribute__((target("pclmul,sse2"))) inline __m128i Constants(uint64_t hi, uint64_t lo) {
  return _mm_set_epi32(static_cast<int>(lo >> 32), static_cast<int>(lo), static_cast<int>(hi >> 32),
                       static_cast<int>(hi));
}

// x * x^(bits of the fold) + data, modulo the polynomial (congruent).
__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i x, __m128i k, __m128i data) {
  const __m128i a = _mm_clmulepi64_si128(x, k, 0x00);
  const __m128i b = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(a, b), data);
}

// The folded block `x` stands for everything read so far: the remaining
// 16-byte blocks are folded into it, then its CRC from a zero register is the
// register over all of it, and the tail goes through the table.
__attribute__((target("pclmul,sse2"))) uint32_t FinishClmul(__m128i x, const uint8_t* p, size_t n) {
  const __m128i k128 = Constants(kFold128Hi, kFold128Lo);
  while (n >= 16) {
    x = Fold(x, k128, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    p += 16;
    n -= 16;
  }
  uint8_t block[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block), x);
  const uint32_t crc = UpdateSliced(0, block, 16);
  return UpdateSliced(crc, p, n);
}

// Carry-less multiply kernel: four 16-byte lanes folded 64 bytes at a time,
// then one lane, then the remaining 16 bytes and the tail through the table.
__attribute__((target("pclmul,sse2"))) uint32_t UpdateClmul(uint32_t crc, const uint8_t* p, size_t n) {
  const __m128i* q = reinterpret_cast<const __m128i*>(p);
  __m128i x0 = _mm_loadu_si128(q + 0);
  __m128i x1 = _mm_loadu_si128(q + 1);
  __m128i x2 = _mm_loadu_si128(q + 2);
  __m128i x3 = _mm_loadu_si128(q + 3);
  // The register joins the message: it is added to its first four bytes.
  x0 = _mm_xor_si128(x0, _mm_cvtsi32_si128(static_cast<int>(crc)));
  p += 64;
  n -= 64;
  const __m128i k512 = Constants(kFold512Hi, kFold512Lo);
  while (n >= 64) {
    q = reinterpret_cast<const __m128i*>(p);
    x0 = Fold(x0, k512, _mm_loadu_si128(q + 0));
    x1 = Fold(x1, k512, _mm_loadu_si128(q + 1));
    x2 = Fold(x2, k512, _mm_loadu_si128(q + 2));
    x3 = Fold(x3, k512, _mm_loadu_si128(q + 3));
    p += 64;
    n -= 64;
  }
  const __m128i k128 = Constants(kFold128Hi, kFold128Lo);
  __m128i x = Fold(x0, k128, x1);
  x = Fold(x, k128, x2);
  x = Fold(x, k128, x3);
  return FinishClmul(x, p, n);
}

// 512-bit kernel: 64-bit Linux builds (mingw-w64 does not keep 64-byte
// vector spills aligned on the Windows stack).
#if defined(__x86_64__) && !defined(_WIN32)
#define KV_CRC_VPCLMUL 1
constexpr uint64_t kFold2048Hi = FoldConstant(2048 + 64), kFold2048Lo = FoldConstant(2048);
constexpr uint64_t kFold384Hi = FoldConstant(384 + 64), kFold384Lo = FoldConstant(384);
constexpr uint64_t kFold256Hi = FoldConstant(256 + 64), kFold256Lo = FoldConstant(256);

// The same pair of constants in each 16-byte lane.
__attribute__((target("avx512f"))) inline __m512i Constants512(uint64_t hi, uint64_t lo) {
  return _mm512_set_epi64(static_cast<long long>(lo), static_cast<long long>(hi), static_cast<long long>(lo),
                          static_cast<long long>(hi), static_cast<long long>(lo), static_cast<long long>(hi),
                          static_cast<long long>(lo), static_cast<long long>(hi));
}

__attribute__((target("avx512f,vpclmulqdq"))) inline __m512i Fold512(__m512i x, __m512i k, __m512i data) {
  const __m512i a = _mm512_clmulepi64_epi128(x, k, 0x00);
  const __m512i b = _mm512_clmulepi64_epi128(x, k, 0x11);
  return _mm512_ternarylogic_epi32(a, b, data, 0x96);  // a xor b xor data
}

// The same folding on 64-byte registers (four 16-byte lanes each): four
// registers, 256 bytes per step, for processors with 512-bit carry-less
// multiply.
__attribute__((target("avx512f,vpclmulqdq,pclmul,sse2"))) uint32_t UpdateVpclmul(uint32_t crc, const uint8_t* p,
                                                                                 size_t n) {
  __m512i x0 = _mm512_loadu_si512(p);
  __m512i x1 = _mm512_loadu_si512(p + 64);
  __m512i x2 = _mm512_loadu_si512(p + 128);
  __m512i x3 = _mm512_loadu_si512(p + 192);
  x0 = _mm512_xor_si512(x0, _mm512_set_epi32(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<int>(crc)));
  p += 256;
  n -= 256;
  const __m512i k2048 = Constants512(kFold2048Hi, kFold2048Lo);
  while (n >= 256) {
    x0 = Fold512(x0, k2048, _mm512_loadu_si512(p));
    x1 = Fold512(x1, k2048, _mm512_loadu_si512(p + 64));
    x2 = Fold512(x2, k2048, _mm512_loadu_si512(p + 128));
    x3 = Fold512(x3, k2048, _mm512_loadu_si512(p + 192));
    p += 256;
    n -= 256;
  }
  const __m512i k512 = Constants512(kFold512Hi, kFold512Lo);
  __m512i x = Fold512(x0, k512, x1);
  x = Fold512(x, k512, x2);
  x = Fold512(x, k512, x3);
  while (n >= 64) {
    x = Fold512(x, k512, _mm512_loadu_si512(p));
    p += 64;
    n -= 64;
  }
  // Lane 0 lies 48 bytes ahead of lane 3, lane 1 32 bytes, lane 2 16 bytes.
  __m128i lane[4];
  _mm512_storeu_si512(lane, x);
  __m128i r = Fold(lane[2], Constants(kFold128Hi, kFold128Lo), lane[3]);
  r = Fold(lane[1], Constants(kFold256Hi, kFold256Lo), r);
  r = Fold(lane[0], Constants(kFold384Hi, kFold384Lo), r);
  return FinishClmul(r, p, n);
}
#endif  // KV_CRC_VPCLMUL

bool HasClmul() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
  }();
  return has;
}

#ifdef KV_CRC_VPCLMUL
bool HasVpclmul() {
  static const bool has = [] {
    __builtin_cpu_init();
    return HasClmul() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
  }();
  return has;
}
#endif

#endif  // KV_CRC_CLMUL

}  // namespace

const uint32_t kCrc32Table[256] = {
#define R(i) kSlice.t[0][i], kSlice.t[0][i + 1], kSlice.t[0][i + 2], kSlice.t[0][i + 3]
#define R16(i) R(i), R(i + 4), R(i + 8), R(i + 12)
    R16(0),   R16(16),  R16(32),  R16(48),  R16(64),  R16(80),  R16(96),  R16(112),
    R16(128), R16(144), R16(160), R16(176), R16(192), R16(208), R16(224), R16(240),
#undef R16
#undef R
};

uint32_t UpdateCrc32Portable(uint32_t crc, const uint8_t* data, size_t n) { return UpdateSliced(crc, data, n); }

// Performance-critical: runs over every decoded byte. Carry-less multiply
// where the processor has it, slicing-by-8 otherwise; the same values as one
// table step per byte.
uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t n) {
#ifdef KV_CRC_VPCLMUL
  if (n >= 512 && HasVpclmul()) return UpdateVpclmul(crc, data, n);
#endif
#ifdef KV_CRC_CLMUL
  if (n >= 128 && HasClmul()) return UpdateClmul(crc, data, n);
#endif
  return UpdateSliced(crc, data, n);
}
