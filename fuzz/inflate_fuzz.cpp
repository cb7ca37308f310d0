// Fuzz target: Inflate over arbitrary data. Input: 3 bytes of stated size
// (at most 1 MiB), then the deflated data. Each input is decoded twice, over
// windows filled with different garbage: a difference means the decoder read
// window bytes it never wrote (a distance reaching before the start).
#include <cstring>
#include <optional>

#include "fuzz/fuzz_common.h"
#include "unzip/inflate.h"

namespace {

struct InflateRun {
  uint64_t size = 0;
  uint32_t crc = 0;
  int result = 0;
};

InflateRun InflateOnce(const uint8_t* data, size_t size, uint32_t unpacked, uint8_t fill) {
  static MemoryHost placeholder(nullptr, 0, 0);
  static UnzipWork work(&placeholder);
  MemoryHost host(data, size, unpacked, false);
  work.Host = &host;
  std::memset(work.Window.get(), fill, UnzipWork::kWindowSize);
  work.ResetForEntry();
  work.CompressedLeft = static_cast<int32_t>(size);
  work.UncompressedLeft = static_cast<int32_t>(unpacked);
  InflateRun run;
  try {
    run.result = InflateWithResult(work);
  } catch (const MemoryHost::TooLarge&) {
    run.result = -1;
  }
  run.size = host.output_size;
  run.crc = host.Crc();
  work.Host = &placeholder;
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t unpacked = FuzzTakeSize(data, size);
  const InflateRun first = InflateOnce(data, size, unpacked, 0x00);
  const InflateRun second = InflateOnce(data, size, unpacked, 0xFF);
  if (first.size != second.size || first.crc != second.crc || first.result != second.result) __builtin_trap();
  if (first.size > unpacked) __builtin_trap();
  return 0;
}
