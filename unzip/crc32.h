// CRC-32 of the ZIP format: reflected polynomial 0xEDB88320.
//
// These work on the raw register: a running CRC starts at 0xFFFFFFFF and is
// complemented at the end (the caller does both).
#pragma once

#include <cstddef>
#include <cstdint>

// The table of 256 entries computed from the polynomial.
extern const uint32_t kCrc32Table[256];

// One step: crc := Table[(crc xor byte) and 0xFF] xor (crc shr 8).
inline uint32_t Crc32Step(uint32_t crc, uint8_t byte) {
  return kCrc32Table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

// The register after feeding `n` bytes: the same value as n steps, computed fast
// (carry-less multiply on x86 processors that have it, else slicing-by-8).
uint32_t UpdateCrc32(uint32_t crc, const uint8_t* data, size_t n);
// The same through the portable slicing-by-8 code only (tests, benchmarks).
uint32_t UpdateCrc32Portable(uint32_t crc, const uint8_t* data, size_t n);
