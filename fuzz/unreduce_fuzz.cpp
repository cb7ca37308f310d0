// Fuzz target: Unreduce over arbitrary data. Input: 1 byte whose low 2 bits
// give the factor (1 to 4), 3 bytes of stated size, then the compressed data.
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int factor = 1 + (data[0] & 3);
  ++data;
  --size;
  const uint32_t unpacked = FuzzTakeSize(data, size);
  FuzzDecodeTwice(1 + factor, 0, data, size, unpacked);
  return 0;
}
