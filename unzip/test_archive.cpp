#include "unzip/test_archive.h"

#include <fstream>
#include <iterator>

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

TestArchive::TestArchive(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error_ = "cannot open " + path;
    return;
  }
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const size_t n = bytes_.size();
  // End of central directory record: signature PK\5\6, searched from the end
  // (a comment of up to 65535 bytes may follow it).
  size_t eocd = SIZE_MAX;
  for (size_t i = n >= 22 ? n - 21 : 0; i-- > 0 && n - i <= 22 + 65535;) {
    if (Le32(&bytes_[i]) == 0x06054B50) {
      eocd = i;
      break;
    }
  }
  if (eocd == SIZE_MAX) {
    error_ = "no end of central directory record in " + path;
    return;
  }
  const uint16_t count = Le16(&bytes_[eocd + 10]);
  size_t p = Le32(&bytes_[eocd + 16]);
  for (uint16_t k = 0; k < count; ++k) {
    if (p + 46 > n || Le32(&bytes_[p]) != 0x02014B50) {
      error_ = "broken central directory in " + path;
      return;
    }
    TestArchiveEntry e;
    e.flags = Le16(&bytes_[p + 8]);
    e.method = Le16(&bytes_[p + 10]);
    e.dos_time = Le16(&bytes_[p + 12]);
    e.crc32 = Le32(&bytes_[p + 16]);
    e.packed_size = Le32(&bytes_[p + 20]);
    e.unpacked_size = Le32(&bytes_[p + 24]);
    const uint16_t name_len = Le16(&bytes_[p + 28]);
    const uint16_t extra_len = Le16(&bytes_[p + 30]);
    const uint16_t comment_len = Le16(&bytes_[p + 32]);
    const uint32_t local = Le32(&bytes_[p + 42]);
    if (p + 46 + name_len > n || local + 30 > n) {
      error_ = "broken central directory in " + path;
      return;
    }
    e.name.assign(reinterpret_cast<const char*>(&bytes_[p + 46]), name_len);
    // Local header: only its name and extra field lengths are used.
    e.data_offset = local + 30 + Le16(&bytes_[local + 26]) + Le16(&bytes_[local + 28]);
    if (e.data_offset + e.packed_size > n) {
      error_ = "entry data past the end of " + path;
      return;
    }
    entries_.push_back(e);
    p += 46 + name_len + extra_len + comment_len;
  }
}

const TestArchiveEntry* TestArchive::Find(std::string_view name) const {
  for (const auto& e : entries_) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

bool TestArchive::OpenEncrypted(const TestArchiveEntry& e, std::string_view password,
                                ZipKeys& keys, const uint8_t*& data, size_t& size) const {
  if (e.packed_size < 12) return false;
  keys.Init(password);
  uint8_t header[12];
  for (int i = 0; i < 12; ++i) header[i] = keys.DecryptByte(bytes_[e.data_offset + i]);
  data = bytes_.data() + e.data_offset + 12;
  size = e.packed_size - 12;
  // Bit 3 of the flags: the CRC follows the data, so the check byte is the
  // high byte of the DOS time instead.
  const uint8_t check = (e.flags & 8) ? static_cast<uint8_t>(e.dos_time >> 8)
                                      : static_cast<uint8_t>(e.crc32 >> 24);
  return header[11] == check;
}
