// An UnzipHost over bytes in memory, for tests, fuzz targets and benchmarks:
// hands out the compressed data in chunks (decrypting it when given keys) and
// collects the output with its CRC-32, refusing output past the stated size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "unzip/unzip_work.h"
#include "unzip/zip_crypto.h"

class MemoryHost : public UnzipHost {
 public:
  // Raised by WriteOutput for a piece that would pass the stated size.
  struct TooLarge {};

  // `data` must outlive the host. With `keep_output` false only the size and
  // the CRC are kept.
  MemoryHost(const uint8_t* data, size_t size, uint32_t unpacked_size, bool keep_output = true);

  // Decrypt the input with these keys (set up behind the 12-byte header).
  void SetKeys(const ZipKeys& keys) { keys_ = keys; }

  uint16_t ReadInputChunk(UnzipWork& work) override;
  void WriteOutput(UnzipWork& work) override;
  void ReportOutOfMemory() override { ++out_of_memory_reports; }

  std::vector<uint8_t> output;
  uint64_t output_size = 0;
  uint32_t crc_register = 0xFFFFFFFF;
  bool too_large = false;  // set when WriteOutput refused a piece
  int out_of_memory_reports = 0;
  int chunks_read = 0;

  uint32_t Crc() const { return ~crc_register; }

 private:
  const uint8_t* data_;
  size_t left_;
  uint32_t unpacked_size_;
  bool keep_output_;
  std::optional<ZipKeys> keys_;
};

// The outcome of decoding one entry through a MemoryHost.
struct DecodeOutcome {
  std::vector<uint8_t> output;
  uint64_t size = 0;
  uint32_t crc = 0;
  bool too_large = false;  // decoding ended by the size check
  int chunks_read = 0;
};

// Runs the decoder of `method` (1 to 6) over `data` as ExtractEntry would:
// a fresh entry state, CompressedLeft = size, UncompressedLeft =
// unpacked_size; ends the run when the output passes the stated size.
// `keys` decrypt the data when given. `work` may be passed in to reuse a
// context (and its window contents) across entries.
DecodeOutcome DecodeLegacy(int method, uint16_t flags, const uint8_t* data, size_t size,
                           uint32_t unpacked_size, const ZipKeys* keys = nullptr,
                           bool keep_output = true, UnzipWork* work = nullptr);
