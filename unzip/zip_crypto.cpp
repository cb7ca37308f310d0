#include "unzip/zip_crypto.h"

void ZipKeys::Init(std::string_view password) {
  k0 = 0x12345678;
  k1 = 0x23456789;
  k2 = 0x34567890;
  for (char c : password) Update(static_cast<uint8_t>(c));
}

// Performance-critical: runs over every byte of an encrypted entry.
void DecryptBuffer(ZipKeys& keys, uint8_t* data, size_t n) {
  for (size_t i = 0; i < n; ++i) data[i] = keys.DecryptByte(data[i]);
}
