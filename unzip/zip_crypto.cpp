#include "unzip/zip_crypto.h"

void ZipKeys::Init(std::string_view password) {
  k0 = 0x12345678;
  k1 = 0x23456789;
  k2 = 0x34567890;
  for (char c : password) Update(static_cast<uint8_t>(c));
}

// Performance-critical: runs over every byte of an encrypted entry. Each byte
// depends on the keys left by the one before, so the loop is one serial
// chain; the keys stay in registers and the key update is written out so
// that nothing outside the chain (loads, stores, the pointer) lengthens it.
void DecryptBuffer(ZipKeys& keys, uint8_t* data, size_t n) {
  uint32_t k0 = keys.k0, k1 = keys.k1, k2 = keys.k2;
  const uint32_t* const table = kCrc32Table;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t t = (k2 & 0xFFFF) | 2;
    const uint32_t plain = (data[i] ^ ((t * (t ^ 1)) >> 8)) & 0xFF;
    data[i] = static_cast<uint8_t>(plain);
    k0 = table[(k0 ^ plain) & 0xFF] ^ (k0 >> 8);
    k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
    k2 = table[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8);
  }
  keys.k0 = k0;
  keys.k1 = k1;
  keys.k2 = k2;
}
