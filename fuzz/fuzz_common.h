// Shared by the decoder fuzz targets: decode an input twice, over work areas
// filled with different garbage, and stop the fuzzer on any difference (a
// decoder that reads what it never wrote) or on output past the stated size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "unzip/memory_host.h"

inline void FuzzDecodeTwice(int method, uint16_t flags, const uint8_t* data, size_t size,
                            uint32_t unpacked_size) {
  static MemoryHost placeholder(nullptr, 0, 0);
  static UnzipWork work(&placeholder);
  DecodeOutcome first, second;
  for (int pass = 0; pass < 2; ++pass) {
    std::memset(work.Window.get(), pass == 0 ? 0x00 : 0xFF, UnzipWork::kWindowSize);
    DecodeOutcome& out = pass == 0 ? first : second;
    out = DecodeLegacy(method, flags, data, size, unpacked_size, nullptr, false, &work);
  }
  if (first.size != second.size || first.crc != second.crc) __builtin_trap();
  if (first.size > unpacked_size) __builtin_trap();
}

// The stated uncompressed size taken from the first three input bytes (at
// most 1 MiB), so the fuzzer controls it too.
inline uint32_t FuzzTakeSize(const uint8_t*& data, size_t& size) {
  uint32_t v = 0;
  for (int i = 0; i < 3 && size > 0; ++i, ++data, --size) v |= static_cast<uint32_t>(*data) << (8 * i);
  return v & 0xFFFFF;
}
