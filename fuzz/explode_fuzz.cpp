// Fuzz target: Explode over arbitrary data. Input: 1 byte of general purpose
// flags (bit 1: 8K dictionary, bit 2: literal tree), 3 bytes of stated size,
// then the compressed data.
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto flags = static_cast<uint16_t>(data[0] & 6);
  ++data;
  --size;
  const uint32_t unpacked = FuzzTakeSize(data, size);
  FuzzDecodeTwice(6, flags, data, size, unpacked);
  return 0;
}
