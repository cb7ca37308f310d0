#include "unzip/memory_host.h"

#include <algorithm>
#include <cstring>

#include "unzip/crc32.h"
#include "unzip/explode.h"
#include "unzip/unreduce.h"
#include "unzip/unshrink.h"

MemoryHost::MemoryHost(const uint8_t* data, size_t size, uint32_t unpacked_size, bool keep_output)
    : data_(data), left_(size), unpacked_size_(unpacked_size), keep_output_(keep_output) {}

uint16_t MemoryHost::ReadInputChunk(UnzipWork& work) {
  const auto n = static_cast<uint16_t>(std::min<size_t>(left_, UnzipWork::kChunk));
  if (n == 0) return 0;
  std::memcpy(work.InputBuffer.get(), data_, n);
  if (keys_) DecryptBuffer(*keys_, work.InputBuffer.get(), n);
  data_ += n;
  left_ -= n;
  ++chunks_read;
  return n;
}

void MemoryHost::WriteOutput(UnzipWork& work) {
  if (output_size + work.OutputCount > unpacked_size_) {
    too_large = true;
    throw TooLarge{};
  }
  const uint8_t* p = work.OutputBuffer.get();
  if (keep_output_) output.insert(output.end(), p, p + work.OutputCount);
  crc_register = UpdateCrc32(crc_register, p, work.OutputCount);
  output_size += work.OutputCount;
  work.EntryBytesWritten += work.OutputCount;
}

DecodeOutcome DecodeLegacy(int method, uint16_t flags, const uint8_t* data, size_t size,
                           uint32_t unpacked_size, const ZipKeys* keys, bool keep_output,
                           UnzipWork* work) {
  MemoryHost host(data, size, unpacked_size, keep_output);
  if (keys) host.SetKeys(*keys);
  std::optional<UnzipWork> own;
  if (!work) work = &own.emplace(&host);
  work->Host = &host;
  work->ResetForEntry();
  work->CompressedLeft = static_cast<int32_t>(std::min<size_t>(size, INT32_MAX));
  work->UncompressedLeft = static_cast<int32_t>(std::min<uint32_t>(unpacked_size, INT32_MAX));
  try {
    switch (method) {
      case 1: Unshrink(*work); break;
      case 2: case 3: case 4: case 5: Unreduce(*work, method - 1); break;
      case 6: Explode(*work, flags); break;
      default: break;
    }
  } catch (const MemoryHost::TooLarge&) {
  }
  DecodeOutcome out;
  out.output = std::move(host.output);
  out.size = host.output_size;
  out.crc = host.Crc();
  out.too_large = host.too_large;
  out.chunks_read = host.chunks_read;
  return out;
}
