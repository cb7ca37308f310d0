// Reads a whole ZIP archive into memory and finds its entries through the
// central directory, for tests and benchmarks that feed entry data straight
// to a decoder. Not a general reader: no ZIP64, no multi-disk sets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "unzip/zip_crypto.h"

struct TestArchiveEntry {
  std::string name;  // as stored, with "/" separators
  uint16_t method = 0;
  uint16_t flags = 0;
  uint16_t dos_time = 0;
  uint32_t crc32 = 0;
  uint32_t packed_size = 0;    // including the 12-byte header when encrypted
  uint32_t unpacked_size = 0;
  size_t data_offset = 0;      // start of the entry's data in the archive
};

class TestArchive {
 public:
  // Loads and indexes `path`; ok() tells whether that worked, error() why not.
  explicit TestArchive(const std::string& path);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::vector<TestArchiveEntry>& entries() const { return entries_; }
  const TestArchiveEntry* Find(std::string_view name) const;

  const uint8_t* Data(const TestArchiveEntry& e) const { return bytes_.data() + e.data_offset; }

  // For an encrypted entry: sets `keys` up from `password` and the 12-byte
  // header and returns true when its check byte matches. data/size then
  // describe the compressed data behind the header.
  bool OpenEncrypted(const TestArchiveEntry& e, std::string_view password, ZipKeys& keys,
                     const uint8_t*& data, size_t& size) const;

 private:
  std::vector<uint8_t> bytes_;
  std::vector<TestArchiveEntry> entries_;
  std::string error_;
};
