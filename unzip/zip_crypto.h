// Traditional PKWARE encryption (decryption side): three 32-bit keys updated
// with every plain byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "unzip/crc32.h"

struct ZipKeys {
  uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;

  // Initial values, then one update per password byte.
  void Init(std::string_view password);
  void Update(uint8_t plain) {
    k0 = Crc32Step(k0, plain);
    k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
    k2 = Crc32Step(k2, static_cast<uint8_t>(k1 >> 24));
  }
  uint8_t DecryptByte(uint8_t cipher) {
    const uint32_t t = (k2 & 0xFFFF) | 2;
    const auto plain = static_cast<uint8_t>(cipher ^ ((t * (t ^ 1)) >> 8));
    Update(plain);
    return plain;
  }
};

// Decrypts `n` bytes in place, updating the keys.
void DecryptBuffer(ZipKeys& keys, uint8_t* data, size_t n);
