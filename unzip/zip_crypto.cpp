#include "unzip/zip_crypto.h"

void ZipKeys::Init(std::string_view password) {
  k0 = 0x12345678;
  k1 = 0x23456789;
  k2 = 0x34567890;
  for (char c : password) Update(static_cast<uint8_t>(c));
}

// Performance-critical: runs over every byte of an encrypted entry. Each byte
// depends on the keys left by the one before, so the loop is one serial
// chain; it is written to keep the chain short:
// - bits 8 to 15 of t * (t xor 1) depend only on the low 16 bits of t, so the
//   key byte is taken from k2 or 2 without masking it first;
// - the table index (k0 xor plain) is (k0 xor cipher) xor key byte, and
//   k0 xor cipher is ready before the key byte is;
// - (k1 + b) * M + 1 is (k1 * M + 1) + b * M, and k1 * M + 1 is ready early.
// Keeps the compiler from folding an early value back into the chain.
#if defined(__GNUC__)
#define KV_EARLY(x) __asm__("" : "+r"(x))
#else
#define KV_EARLY(x) (void)(x)
#endif

void DecryptBuffer(ZipKeys& keys, uint8_t* data, size_t n) {
  constexpr uint32_t kMul = 134775813u;
  uint32_t k0 = keys.k0, k1 = keys.k1, k2 = keys.k2;
  const uint32_t* const table = kCrc32Table;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t cipher = data[i];
    uint32_t early = k0 ^ cipher;
    uint32_t k1_part = k1 * kMul + 1;
    uint32_t k2_low = k2 & 0xFF;
    KV_EARLY(early);
    KV_EARLY(k1_part);
    KV_EARLY(k2_low);
    const uint32_t k2_high = k2 >> 8;
    const uint32_t k0_high = k0 >> 8;

    const uint32_t t = k2 | 2;
    const uint32_t key = (t * (t ^ 1)) >> 8;
    data[i] = static_cast<uint8_t>(cipher ^ key);
    k0 = table[(early ^ key) & 0xFF] ^ k0_high;
    k1 = k1_part + (k0 & 0xFF) * kMul;
    k2 = table[k2_low ^ (k1 >> 24)] ^ k2_high;
  }
  keys.k0 = k0;
  keys.k1 = k1;
  keys.k2 = k2;
}
