// Fuzz target: Unshrink over arbitrary data. Input: 3 bytes of stated size,
// then the compressed data.
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t unpacked = FuzzTakeSize(data, size);
  FuzzDecodeTwice(1, 0, data, size, unpacked);
  return 0;
}
